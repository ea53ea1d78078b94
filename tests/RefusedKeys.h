// The OPS token endpoint of the fixture server refusing keys, as OPS refuses keys it does not
// know: the program's own, which it sends for a user without keys of his own, or the user's.
// For the tests of what such a refusal tells the user.
#pragma once

#include "FixtureServer.h"
#include "OpsTokenCache.h"

#include <vector>

namespace testsupport {

// One way the keys are refused.
struct KeyRefusal
{
    const char* what;
    const char* key;     // the options' consumer key and secret
    const char* secret;
    CString basic;       // what the token request sends for them
    int fault;           // COpsTokenCache::KeyFault after the refusal
};

// No keys of the user's (the program's own are refused), then the user's own keys (the
// tests' pair, which the fixture server knows otherwise).
inline std::vector<KeyRefusal> KeyRefusals()
{
    return {{"no keys of the user's", "", "", COpsTokenCache::kCredentials, COpsTokenCache::OpsKeysMissing},
            {"the user's keys", "my-consumer-key", "my-consumer-secret",
             "bXktY29uc3VtZXIta2V5Om15LWNvbnN1bWVyLXNlY3JldA==", COpsTokenCache::OpsKeysRefused}};
}

// While it lives the fixture server refuses the keys of the case and the program sends them;
// at its end the server takes every key again and the program sends its own.
class RefusedKeys
{
public:
    explicit RefusedKeys(const KeyRefusal& refusal)
    {
        FixtureRefuseKeys(refusal.basic);
        COpsTokenCache::SetConsumerKeys(refusal.key, refusal.secret);
    }
    ~RefusedKeys()
    {
        FixtureReset();
        COpsTokenCache::SetConsumerKeys("", "");
    }
    RefusedKeys(const RefusedKeys&) = delete;
    RefusedKeys& operator=(const RefusedKeys&) = delete;
};

} // namespace testsupport
