// Entry point of every test program: GoogleTest with unbuffered output, so a program that
// dies under Wine still shows how far it got. A program that ran no test at all fails.
#include <gtest/gtest.h>

#include <cstdio>

int main(int argc, char** argv)
{
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    testing::InitGoogleTest(&argc, argv);
    int rc = RUN_ALL_TESTS();
    if (rc == 0 && testing::UnitTest::GetInstance()->test_to_run_count() == 0) {
        std::fprintf(stderr, "no test ran\n");
        return 1;
    }
    return rc;
}
