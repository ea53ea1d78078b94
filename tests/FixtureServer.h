// The test programs' side of the fixture web server (tools/fixture_server.py): its address,
// the log of the requests it received and its controls. The server of a test program is
// started by CTest (zentrova_test with FIXTURE) and named by ZENTROVA_SERVICE_BASE.
#pragma once

#include "String.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace testsupport {

// "http://127.0.0.1:PORT", or empty when no fixture server was started for this program.
CString FixtureBase();

// The server's address followed by the path (and query).
CString FixtureUrl(const char* pathAndQuery);

// One request as the server received it.
struct LoggedRequest
{
    CString method;
    CString target;  // path with query
    std::vector<std::pair<CString, CString>> headers;  // in the order received
    CString body;
    int status = 0;  // of the answer; 0 while unanswered or when the connection was reset

    // The value of the first header of that name (any case); empty when there is none.
    CString Header(const char* name) const;
    bool HasHeader(const char* name) const;
};

// Every request since the last reset, in the order received.
std::vector<LoggedRequest> FixtureLog();

// The logged requests whose target contains the text.
std::vector<LoggedRequest> FixtureLog(const char* targetPart);

// Forgets the log, the once= counts and the plans (tokens stay issued).
void FixtureReset();

// The next count requests for the path behave as if the query text were added to theirs.
void FixturePlan(const char* path, const char* query, int count = 1);

// Every token issued so far has expired.
void FixtureExpireTokens();

// After the next count accepted OPS requests (answered normally), every token issued until
// then has expired; with thenCount, the tokens expire again after thenCount more.
void FixtureExpireTokensAfter(int count, int thenCount = 0);

// The next count OPS requests (of that path only, when one is given) are refused with the
// service's 403 answer to a spent quota.
void FixtureRefuseQuota(int count, const char* path = nullptr);

// The OPS token endpoint refuses the Basic credentials value (401, invalid_client) until the
// next FixtureReset, as OPS refuses keys it does not know.
void FixtureRefuseKeys(const char* basic);

// Base of tests that talk to the fixture server: fails at once when there is none and starts
// each test with a fresh log.
class FixtureTest : public ::testing::Test
{
protected:
    void SetUp() override;
};

} // namespace testsupport
