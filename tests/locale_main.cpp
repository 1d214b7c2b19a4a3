// Runs the tests under the locale named by SOLVARA_TEST_LOCALE, so that a
// number text that leans on the process locale shows up as a failure.
#include <gtest/gtest.h>

#include <cstdlib>
#include <locale>

int main(int argc, char **argv)
{
    testing::InitGoogleTest(&argc, argv);
    // Sets the C library's locale too; a locale that is not installed throws
    // and ends the run as a failure.
    if (const char *name = std::getenv("SOLVARA_TEST_LOCALE"))
        std::locale::global(std::locale(name));
    return RUN_ALL_TESTS();
}
