// A desktop application adopts the user's locale; a German one writes "0,5". Loading, showing
// and saving must give the same bytes whatever the process locale is.
#include <gtest/gtest.h>

#include <clocale>
#include <locale>
#include <sstream>
#include <stdexcept>

#include "cli/CliMain.h"

namespace tessary {
namespace {

std::string RunScript(const std::string& script) {
    std::ostringstream out;
    std::ostringstream err;
    std::istringstream in(script);
    EXPECT_EQ(RunCli({"run", "-"}, out, err, in), 0) << err.str();
    return out.str();
}

class CommaLocale : public testing::Test {
  protected:
    void SetUp() override {
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8"}) {
            try {
                std::locale locale(name);
                if (std::setlocale(LC_ALL, name) != nullptr) {
                    std::locale::global(locale);
                    return;
                }
            } catch (const std::runtime_error&) {
            }
        }
        GTEST_SKIP() << "no locale with a decimal comma is installed";
    }
    void TearDown() override {
        std::setlocale(LC_ALL, "C");
        std::locale::global(std::locale::classic());
    }
};

TEST_F(CommaLocale, LoadShowAndPrintGiveTheSameBytesAsUnderC) {
    const std::string script =
        std::string("load left ") + TESSARY_TEST_DATA_DIR + "/numbers.pz2\nshow left\nprint left\n";
    const std::string underComma = RunScript(script);
    std::setlocale(LC_ALL, "C");
    std::locale::global(std::locale::classic());
    const std::string underC = RunScript(script);
    EXPECT_EQ(underComma, underC);
    EXPECT_NE(underC.find("k 0 0.5\r\n"), std::string::npos);
    EXPECT_NE(underC.find("1.000000e-003"), std::string::npos);
}

}  // namespace
}  // namespace tessary
