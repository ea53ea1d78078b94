#include "ServiceHosts.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>

namespace {

// Sets ZENTROVA_SERVICE_BASE for one test and restores what the program was started with.
class ServiceBase
{
public:
    explicit ServiceBase(const char* value) { SetEnvironmentVariableA("ZENTROVA_SERVICE_BASE", value); }
    ~ServiceBase() { SetEnvironmentVariableA("ZENTROVA_SERVICE_BASE", std::getenv("ZENTROVA_SERVICE_BASE")); }
};

} // namespace

TEST(ServiceHosts, RealServicesWithoutATestServer)
{
    ServiceBase none(nullptr);
    EXPECT_EQ(GetPortalStartUrl(), "http://portal.uspto.gov/external/portal");
    EXPECT_EQ(GetOpsServiceHost(), "ops.epo.org");
    EXPECT_EQ(GetOpsTokenUrl(), "https://ops.epo.org/3.2/auth/accesstoken");
    EXPECT_EQ(GetOpsPublishedDataUrl(), "https://ops.epo.org/3.2/rest-services/published-data/");
    EXPECT_EQ(GetViewerBaseUrl(), "http://worldwide.espacenet.com");
    EXPECT_TRUE(IsOpsUrl("https://ops.epo.org/3.2/rest-services/published-data/x"));
    EXPECT_FALSE(IsOpsUrl("http://127.0.0.1:8080/ops/3.2/rest-services/published-data/x"));
    EXPECT_EQ(GetApplicationAgent(), "Zentrova");
}

TEST(ServiceHosts, OneVariablePointsEveryServiceAtTheTestServer)
{
    ServiceBase test("http://127.0.0.1:8080/");
    EXPECT_EQ(GetPortalStartUrl(), "http://127.0.0.1:8080/external/portal");
    EXPECT_EQ(GetOpsServiceHost(), "127.0.0.1:8080/ops");
    EXPECT_EQ(GetOpsTokenUrl(), "http://127.0.0.1:8080/ops/3.2/auth/accesstoken");
    EXPECT_EQ(GetOpsPublishedDataUrl(), "http://127.0.0.1:8080/ops/3.2/rest-services/published-data/");
    EXPECT_EQ(GetViewerBaseUrl(), "http://127.0.0.1:8080");
    EXPECT_TRUE(IsOpsUrl("http://127.0.0.1:8080/ops/3.2/rest-services/published-data/x"));
    EXPECT_FALSE(IsOpsUrl("http://127.0.0.1:8080/pages/small.html"));
    EXPECT_FALSE(IsOpsUrl("https://ops.epo.org/3.2/rest-services/published-data/x"));
}
