#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <sstream>
#include <string>

#include "cli/Session.h"
#include "platform/DateText.h"

namespace tessary {
namespace {

// Restores SOURCE_DATE_EPOCH as it was.
class EpochVariable {
  public:
    EpochVariable() {
        if (const char* value = std::getenv("SOURCE_DATE_EPOCH")) {
            saved_ = value;
        }
    }
    ~EpochVariable() {
        if (saved_.empty()) {
            unsetenv("SOURCE_DATE_EPOCH");
        } else {
            setenv("SOURCE_DATE_EPOCH", saved_.c_str(), 1);
        }
    }

  private:
    std::string saved_;
};

TEST(ExportDate, SourceDateEpochPinsTheCliExportsInUtc) {
    EpochVariable restore;
    setenv("SOURCE_DATE_EPOCH", "1000000000", 1);
    std::ostringstream out;
    Session session(out);
    EXPECT_EQ(session.ui.ExportDateText(), "Sunday, September 09, 2001: 01:46:40");
}

TEST(ExportDate, UnsetOrMalformedEpochMeansTheClock) {
    EpochVariable restore;
    for (const char* value : {"", "12abc", "-5", "99999999999999999999999"}) {
        setenv("SOURCE_DATE_EPOCH", value, 1);
        EXPECT_FALSE(SourceDateEpoch()) << value;
    }
    unsetenv("SOURCE_DATE_EPOCH");
    EXPECT_FALSE(SourceDateEpoch());
    std::ostringstream out;
    Session session(out);
    EXPECT_FALSE(session.ui.fixedExportTime);
    // "Monday, December 07, 2026: 04:58:47": a weekday, a comma, and a colon before the time.
    std::string now = session.ui.ExportDateText();
    EXPECT_NE(now.find(", "), std::string::npos) << now;
    EXPECT_EQ(now.size() - now.rfind(": "), 10u) << now;
}

TEST(ExportDate, NamesStayEnglishUnderAnotherLocale) {
    std::string saved = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8") && !std::setlocale(LC_ALL, "de_DE.utf8")) {
        GTEST_SKIP() << "no German locale installed";
    }
    std::string text = FormatDateText(0, true);
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_EQ(text, "Thursday, January 01, 1970: 00:00:00");
}

}  // namespace
}  // namespace tessary
