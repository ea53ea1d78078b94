// Where the outside web services live, and the agent name the program's requests carry.
// The environment variable ZENTROVA_SERVICE_BASE (for example http://127.0.0.1:8080) points
// every service at one test server instead: the portal and the viewer at its root, the OPS
// service under its path "/ops". Nothing else changes.
#pragma once

#include "String.h"

// The agent name of the program's WinINet sessions.
CString GetApplicationAgent();

// The start page of the USPTO web portal (plain http).
CString GetPortalStartUrl();

// The text that marks a URL as the OPS service's: its host ("ops.epo.org"), or the test
// server's address followed by "/ops".
CString GetOpsServiceHost();

// The OPS token endpoint: https on the OPS host, path "/3.2/auth/accesstoken" (under the
// test server, its scheme and "/ops" in front of the path).
CString GetOpsTokenUrl();

// The base of the OPS published-data requests, ending in a slash: https on the OPS host,
// path "/3.2/rest-services/published-data/" (under the test server, its scheme and "/ops"
// in front of the path).
CString GetOpsPublishedDataUrl();

// Scheme and host of the outside patent-image viewer service, without a trailing slash.
CString GetViewerBaseUrl();

// The file-wrapper PDF of a US document on the portal, by the bare number (digits only).
CString GetFileWrapperUrl(const CString& number);

// True when the URL contains the OPS service's host.
bool IsOpsUrl(const CString& url);
