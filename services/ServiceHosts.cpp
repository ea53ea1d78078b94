#include "ServiceHosts.h"

#include <windows.h>

namespace {

const char kAgent[] = "Zentrova";
const char kPortalHost[] = "http://portal.uspto.gov";
const char kPortalPath[] = "/external/portal";
const char kFileWrapperPath[] = "/external/filewrapper/";
// The OPS service answers only its current version, over https.
const char kOpsScheme[] = "https://";
const char kOpsHost[] = "ops.epo.org";
const char kOpsTestPath[] = "/ops";
const char kOpsVersion[] = "/3.2";
const char kTokenPath[] = "/auth/accesstoken";
const char kPublishedDataPath[] = "/rest-services/published-data/";
const char kViewerHost[] = "http://worldwide.espacenet.com";

// The test server's base address without a trailing slash; empty when none is set.
CString TestBase()
{
    char value[1024];
    DWORD n = GetEnvironmentVariableA("ZENTROVA_SERVICE_BASE", value, sizeof value);
    if (n == 0 || n >= sizeof value)
        return CString();
    CString base(value, static_cast<int>(n));
    base.Trim();
    base.TrimRight('/');
    return base;
}

// The OPS service's address up to its version: the real host over https, or the test
// server followed by "/ops".
CString OpsVersionBase()
{
    CString base = TestBase();
    if (base.IsEmpty())
        return CString(kOpsScheme) + kOpsHost + kOpsVersion;
    return base + kOpsTestPath + kOpsVersion;
}

} // namespace

CString GetApplicationAgent()
{
    return kAgent;
}

CString GetPortalStartUrl()
{
    CString base = TestBase();
    return (base.IsEmpty() ? CString(kPortalHost) : base) + kPortalPath;
}

CString GetOpsServiceHost()
{
    CString base = TestBase();
    if (base.IsEmpty())
        return kOpsHost;
    int scheme = base.Find("://");
    return (scheme >= 0 ? base.Mid(scheme + 3) : base) + kOpsTestPath;
}

CString GetOpsTokenUrl()
{
    return OpsVersionBase() + kTokenPath;
}

CString GetOpsPublishedDataUrl()
{
    return OpsVersionBase() + kPublishedDataPath;
}

CString GetViewerBaseUrl()
{
    CString base = TestBase();
    return base.IsEmpty() ? CString(kViewerHost) : base;
}

CString GetFileWrapperUrl(const CString& number)
{
    CString base = TestBase();
    return (base.IsEmpty() ? CString(kPortalHost) : base) + kFileWrapperPath + number + ".pdf";
}

bool IsOpsUrl(const CString& url)
{
    return url.Find(GetOpsServiceHost()) >= 0;
}
