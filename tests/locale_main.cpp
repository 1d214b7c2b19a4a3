// Runs the tests under the locale named by SOLVARA_TEST_LOCALE, so that a
// number text that leans on the process locale shows up as a failure.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <iostream>
#include <locale>

int main(int argc, char **argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (const char *name = std::getenv("SOLVARA_TEST_LOCALE")) {
        if (!std::setlocale(LC_ALL, name)) {
            std::cerr << "locale " << name << " is not installed\n";
            return 2;
        }
        std::locale::global(std::locale(name));
    }
    return RUN_ALL_TESTS();
}
