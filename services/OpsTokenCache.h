// COpsTokenCache: the one OPS access token of the process. It obtains the token from the OPS
// token endpoint (client-credentials grant), hands copies to every thread that builds an OPS
// request, and fetches a new one when a request reports that the token is no longer
// accepted. A refresh holds its callers 5000 ms after the token request, and all refreshes
// asked for in that time share the one request.
//
// A token request that OPS refuses for its keys (401, or 400 with "invalid_client") is not
// made again until the keys are set anew: the callers get the token held (empty, or one
// granted before) at once, and KeyFault says why requests to OPS fail.
#pragma once

#include "String.h"

#include <windows.h>

#include <boost/thread/once.hpp>

class CHttpChannel;

class COpsTokenCache
{
public:
    // The process-wide cache, created on first use.
    static COpsTokenCache* Instance();

    // A copy of the current token; fetches one first when none has been asked for yet and
    // waits while a fetch runs.
    static CString GetToken();

    // Fetches a new token (shared with the other refreshes of the current period) and
    // returns a copy of it.
    static CString ForceRefresh();

    // The access token of a token reply: the value of its "access_token" key, taken as the
    // service writes it (the key in double quotes, a blank, a colon, a blank, the value in
    // double quotes). False when the reply names no access token (an error reply).
    static bool ParseAccessToken(const CString& reply, CString& token);

    // The client credentials of the program's OPS account, as sent in the Basic header.
    static const char kCredentials[];

    // The consumer key and secret of the user's own OPS registration, sent by the token
    // requests from now on (blanks at both ends dropped). When either is empty the
    // program's own credentials are sent. After a refusal of the keys the next token request
    // is made again, whether the keys changed or not.
    static void SetConsumerKeys(const CString& key, const CString& secret);

    // The Basic authorization value for a consumer key and secret: "key:secret" in Base64,
    // or the program's own credentials when either is empty.
    static CString BasicCredentials(const CString& key, const CString& secret);

    // Whether the token endpoint refused the keys the token requests send now: OpsKeysMissing
    // when those are the program's own credentials (the user has set no keys of his own),
    // OpsKeysRefused when they are the user's.
    enum { OpsKeysAccepted = 0, OpsKeysMissing = 1, OpsKeysRefused = 2 };
    static int KeyFault();

    // True when a token reply without a token refuses the client's keys: the status 401, or
    // 400 with the OAuth error "invalid_client" in the text.
    static bool IsKeyRefusal(DWORD dwStatus, const CString& reply);

    // The message that tells the user the keys are missing or refused and where they go.
    static CString KeyFaultText(int nFault);

private:
    COpsTokenCache();

    static void CreateInstance();
    static void FetchToken();
    static void Rearm();
};

// Sets a once-flag back to its initial state, so that the next call_once on it runs its
// routine again. A routine still running on the flag is waited for first.
void ResetOnceFlag(boost::once_flag& flag);
