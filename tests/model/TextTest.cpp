#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ModelTestUtil.h"
#include "support/ScratchDir.h"

namespace tessary {
namespace {

using testing::Dump;

// A file whose lines fill several text pieces: delta lines longer than a Text holds inline,
// short lines held inline, and one line longer than a piece's section.
std::string PieceFillingFile(const std::string& name, int parts) {
    std::string text = "{\nversion\n{\nnumber 4.01\n}\n";
    for (int p = 0; p < parts; ++p) {
        text += "actor " + name + std::to_string(p) + ":1\n{\nchannels\n{\ntargetGeom M" +
                std::to_string(p) + "\n{\nindexes 3000\ndeltas\n{\n";
        for (int d = 0; d < 3000; ++d) {
            text += "\t\t\td " + std::to_string(d) + " 0.001234 -0.0056 " + std::to_string(p) +
                    "e-03\n";
        }
        text += "}\n}\n}\nk 1\n}\n";
    }
    text += "comment " + std::string(70000, 'x') + "\n}\n";
    return text;
}

TEST(TextTest, SubtreesCopiedOrMovedOutOfAFileOutliveIt) {
    const test::ScratchDir dir;
    const std::string sourcePath = dir.File("source.cr2");
    const std::string targetPath = dir.File("target.cr2");
    test::WriteBytes(sourcePath, PieceFillingFile("src", 40));
    test::WriteBytes(targetPath, PieceFillingFile("dst", 2));
    {
        Block source;
        Block target;
        ASSERT_TRUE(ReadFileTree(sourcePath, source));
        ASSERT_TRUE(ReadFileTree(targetPath, target));
        ASSERT_GT(LiveTextPieceBytes(), std::size_t{2} << 20);
        const std::string copied = Dump(source.children[5]);

        // A copy into the other file, a move into a history list (as an undo step holds it),
        // and a copy assigned over an existing Block.
        target.InsertChild(1, source.children[5]);
        std::vector<Block> history;
        history.push_back(std::move(source.children[7]));
        target.children.back() = source.children.back();
        const std::string expected = Dump(target);
        const std::string kept = Dump(history[0]);

        // Close the source, then load another file into the freed memory.
        source = Block();
        Block other;
        ASSERT_TRUE(ReadFileTree(sourcePath, other));
        other.children[5].children[0].data = "edited in place of the old text";
        other = Block();

        EXPECT_EQ(Dump(target.children[1]), copied);
        EXPECT_EQ(Dump(history[0]), kept);
        ASSERT_TRUE(WriteFileAtomically(targetPath, TextWriter::LineEnds::Lf,
                                        [&](TextWriter& out) { WriteTree(target, out); }));
        EXPECT_EQ(test::ReadBytes(targetPath), expected);
    }
    // Every piece went with the last text in it.
    EXPECT_EQ(LiveTextPieceBytes(), 0u);
}

TEST(TextTest, AFileWithMoreTagsThanTheTableHoldsIsRefusedAndLeavesNoneBehind) {
    const test::ScratchDir dir;
    std::string text = "{\n";
    for (int i = 0; i < 70000; ++i) {
        text += "tag" + std::to_string(i) + " 1\n";
    }
    text += "}\n";
    test::WriteBytes(dir.File("many.cr2"), text);
    test::WriteBytes(dir.File("after.cr2"), "{\nanotherNewTag 2\n}\n");
    Block root;
    root.SetLine("kept line");
    const std::size_t before = Tag::TableSize();
    EXPECT_THROW(ReadFileTree(dir.File("many.cr2"), root), std::bad_alloc);
    EXPECT_EQ(Tag::TableSize(), before);
    EXPECT_EQ(root.tag, "kept");
    ASSERT_TRUE(ReadFileTree(dir.File("after.cr2"), root));
    EXPECT_EQ(root.children[0].tag, "anotherNewTag");
}

TEST(TextTest, TextAndTagBehaveAsTheStringsTheyReplace) {
    Block block;
    block.SetLine("actor  BODY:1   ");
    EXPECT_EQ(block.tag, "actor");
    EXPECT_EQ(block.data, "BODY:1");
    EXPECT_EQ(block.tag.Id(), Tag("actor").Id());  // interned once

    Text text("a longer text than eight bytes");
    Text shared = text;
    shared += " and more";
    EXPECT_EQ(text, "a longer text than eight bytes");
    EXPECT_EQ(shared, "a longer text than eight bytes and more");
    shared = std::string_view(shared).substr(2);  // from its own storage
    EXPECT_EQ(shared, "longer text than eight bytes and more");
    shared.replace(0, 6, "short");
    EXPECT_EQ(shared.substr(0, 10), "short text");
    Text small("12345678");
    small = std::string_view(small).substr(1, 3);
    EXPECT_EQ(small, "234");
    small += "456789";
    EXPECT_EQ(small, "234456789");
    EXPECT_EQ(small.find('4'), 2u);
    EXPECT_EQ(std::string("x") + small, "x234456789");
    small.clear();
    EXPECT_TRUE(small.empty());

    // The children array against std::vector's behaviour.
    Block parent;
    std::vector<std::string> model;
    for (int i = 0; i < 40; ++i) {
        Block child;
        child.SetLine("line " + std::to_string(i) + " of the children");
        const std::size_t at = static_cast<std::size_t>(i * 7) % (model.size() + 1);
        parent.children.insert(parent.children.begin() + at, std::move(child));
        model.insert(model.begin() + static_cast<std::ptrdiff_t>(at),
                     std::to_string(i) + " of the children");
    }
    parent.children.erase(parent.children.begin() + 3, parent.children.begin() + 9);
    model.erase(model.begin() + 3, model.begin() + 9);
    parent.RemoveChild(0);
    model.erase(model.begin());
    ASSERT_EQ(parent.children.size(), model.size());
    for (std::size_t i = 0; i < model.size(); ++i) {
        EXPECT_EQ(parent.children[i].data, model[i]);
    }
    ChildList other(parent.children);
    other.swap(parent.children);
    EXPECT_EQ(Dump(Block(parent)), Dump(parent));
}

}  // namespace
}  // namespace tessary
