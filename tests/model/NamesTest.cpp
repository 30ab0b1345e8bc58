#include <gtest/gtest.h>

#include "model/Names.h"

namespace tessary {
namespace {

struct NameCase {
    const char* name;
    const char* base;
    const char* suffix;
};

TEST(NamesTest, BaseNameAndSuffixSplitAtTheLastColon) {
    const NameCase
        cases[] =
            {
                {"BODY:3", "BODY", "3"}, {"BODY", "BODY", ""},
                {"a:b:12", "a:b", "12"},  // two colons: only the last one splits
                {":", "", ""},           {"name:", "name", ""},
                {":7", "", "7"},         {"", "", ""},
            };
    for (const NameCase& c : cases) {
        EXPECT_EQ(BaseName(c.name), c.base) << c.name;
        EXPECT_EQ(NameSuffix(c.name), c.suffix) << c.name;
    }
}

TEST(NamesTest, PathParentDropsTheLastSegment) {
    EXPECT_EQ(PathParent(" |actor BODY|channels |targetGeom Blink"), " |actor BODY|channels ");
    EXPECT_EQ(PathParent(" |actor BODY"), " ");
    EXPECT_EQ(PathParent(" "), "");
    EXPECT_EQ(PathParent(""), "");
}

}  // namespace
}  // namespace tessary
