#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "edit/EditFixture.h"

namespace tessary {
namespace {

using testing::TwoPanes;

std::string ReadText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The second "actor" Block with that data: these characters declare every actor twice, first
// without channels.
Block* DefinitiveActor(Block& root, const std::string& data) {
    return root.FindNthChild("actor " + data, 1, Match::LineKey);
}

// Two real characters numbered 2 and 3: every channel of the female hip copied across lands in
// the male's definitive hip block (not its declaration), replacing the same lines.
TEST(CorpusCopyTest, ChannelsReachTheDefinitiveBodyPartOfAnotherNumber) {
    const std::filesystem::path corpus = TESSARY_CORPUS_DIR;
    if (!std::filesystem::exists(corpus / "vreng_SL_Female.cr2") ||
        !std::filesystem::exists(corpus / "vreng_SL_Male.cr2")) {
        GTEST_SKIP() << "corpus not available";
    }
    TwoPanes panes;
    TwoPanes::Fill(panes.left, ReadText(corpus / "vreng_SL_Female.cr2"), kPoseView, "2");
    TwoPanes::Fill(panes.right, ReadText(corpus / "vreng_SL_Male.cr2"), kFigureView, "3");
    Block* hip = DefinitiveActor(panes.left.root, "hip:2");
    ASSERT_NE(hip, nullptr);
    hip->treeItem = 1;
    Block* channels = hip->FindNthChild("channels", 0, Match::Tag);
    ASSERT_NE(channels, nullptr);
    TreeItem next = 2;
    for (Block& channel : channels->children) {
        channel.treeItem = next++;
    }
    const Block* maleDeclaration = panes.right.root.FindNthChild("actor hip:3", 0, Match::LineKey);
    const std::size_t declarationSize = maleDeclaration->children.size();
    const std::size_t maleChannels = DefinitiveActor(panes.right.root, "hip:3")
                                         ->FindNthChild("channels", 0, Match::Tag)
                                         ->children.size();

    CopyAllChannels(panes.left, 1);

    Block* maleHip = DefinitiveActor(panes.right.root, "hip:3");
    Block* copied = maleHip->FindNthChild("channels", 0, Match::Tag);
    EXPECT_EQ(copied->children.size(), maleChannels);  // same lines replaced, none added
    // Reversed: the female's last channel with a brace block comes first.
    const Block* lastWithBlock = nullptr;
    for (const Block& channel : channels->children) {
        if (channel.hasBlock != 0 && channel.tag != "targetGeom") {
            lastWithBlock = &channel;
        }
    }
    ASSERT_NE(lastWithBlock, nullptr);
    EXPECT_EQ(copied->children.front().LineKey(), lastWithBlock->LineKey());
    EXPECT_EQ(panes.right.root.FindNthChild("actor hip:3", 0, Match::LineKey)->children.size(),
              declarationSize);
    EXPECT_EQ(panes.right.modified, 1);
}

}  // namespace
}  // namespace tessary
