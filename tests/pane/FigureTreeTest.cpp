#include "pane/FigureTree.h"

#include <cctype>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "PaneTestSupport.h"
#include "support/RecordingUi.h"
#include "headless/MemoryProfileStore.h"
#include "headless/MemoryTreeControl.h"
#include "model/Block.h"
#include "pane/FigureFile.h"

namespace tessary::test {
namespace {

class FigureTreeTest : public ::testing::Test {
  protected:
    RecordingUi ui;
    MemoryProfileStore store;
    MemoryTreeControl control;
    FigureFile file{ui, store};
    FigureTree tree{control, file};

    // The listing of `text` shown in the given view.
    std::string Show(const std::string& text, int viewKind) {
        SetTree(file, text);
        file.viewKind = viewKind;
        tree.Refresh();
        return FormatTreeListing(control);
    }
};

struct ViewCase {
    const char* fault;
    int viewKind;
    const char* text;
    const char* listing;
};

class FigureViewCases : public FigureTreeTest, public ::testing::WithParamInterface<ViewCase> {};

TEST_P(FigureViewCases, ShowsTheListing) {
    const ViewCase& c = GetParam();
    EXPECT_EQ(Show(c.text, c.viewKind), c.listing) << c.fault;
}

const ViewCase kViewCases[] = {
    {"actors sorted alphabetically ignoring case, suffix dropped, empty folders removed",
     kFigureView,
     "{\nactor chest:1\n{\nchannels\n{\ntargetGeom Breathe\n{\n}\n}\n}\n"
     "actor BODY:1\n{\nchannels\n{\ntargetGeom Blink\n{\n}\n}\n}\n"
     "actor abdomen:1\n{\nchannels\n{\n}\n}\n}\n",
     "[actor] abdomen\n[actor] BODY\n  [folder] MORPH TARGETS\n    [morph] Blink\n"
     "[actor] chest\n  [folder] MORPH TARGETS\n    [morph] Breathe\n"},
    {"actors without channels, or without a block, get no item", kFigureView,
     "{\nactor hip:1\n{\nstorageOffset 0 0 0\n}\nactor lHand\nactor "
     "hip:1\n{\nchannels\n{\n}\n}\n}\n",
     "[actor] hip\n"},
    {"a prop hangs in its parent actor's PROPS folder with its own morphs", kFigureView,
     "{\nactor head:1\n{\nchannels\n{\n}\n}\n"
     "prop hat_1\n{\nparent head:1\nchannels\n{\ntargetGeom Tilt\n{\n}\n}\n}\n"
     "prop box_1\n{\nparent head:1\n}\n}\n",
     "[actor] head\n  [folder] PROPS\n    [prop] hat_1\n      [folder] MORPH TARGETS\n"
     "        [morph] Tilt\n    [prop] box_1\n"},
    {"a prop whose parent actor has no item goes to the top level", kFigureView,
     "{\nactor head:1\n{\nname head\n}\nprop hat_1\n{\nparent head:1\n}\n}\n", "[prop] hat_1\n"},
    {"a prop with an empty parent gets no folder and its morphs fall to the top", kFigureView,
     "{\nprop hat_1\n{\nparent\nchannels\n{\ntargetGeom Tilt\n{\n}\n}\n}\n}\n",
     "[prop] hat_1\n[morph] Tilt\n"},
    {"props without a parent line get no item", kFigureView,
     "{\nprop hat_1\n{\nchannels\n{\n}\n}\n}\n", ""},
    {"a morph with a later actor's name captures that actor's search", kFigureView,
     "{\nactor head\n{\nchannels\n{\ntargetGeom lHand\n{\n}\n}\n}\n"
     "actor lHand\n{\nchannels\n{\ntargetGeom Fist\n{\n}\n}\n}\n}\n",
     "[morph] Fist\n[actor] head\n  [folder] MORPH TARGETS\n    [morph] lHand\n[actor] lHand\n"},
    {"morph targets without a brace block are not shown", kFigureView,
     "{\nactor head\n{\nchannels\n{\ntargetGeom Smile\n}\n}\n}\n", "[actor] head\n"},
    {"pose view: channels under their actor, morphs apart from other channels", kPoseView,
     "{\nactor rHand\n{\nchannels\n{\n}\n}\n"
     "actor lHand:1\n{\nchannels\n{\ntargetGeom Fist\n{\nkeys\n{\nk 0 1\n}\n}\n"
     "rotateX xrot\n{\n}\nvalueParm Dial:1\n}\n}\n"
     "prop box_1\n{\nchannels\n{\nrotateY yrot\n{\n}\n}\n}\nactor hip\n}\n",
     "[prop] box_1\n  [channel] yrot\n[actor] lHand\n  [morph] Fist\n  [channel] xrot\n"
     "  [channel] Dial\n[actor] rHand\n"},
    {"raw view: every tagged line, a line without data keeps its blank", kRawView,
     "{\nversion\n{\nnumber 4.01\n}\nactor BODY:1\n{\n{\nname BODY\n}\n}\n}\n",
     "[line] actor BODY:1\n  [line] name BODY\n[line] version \n  [line] number 4.01\n"},
};

std::string CaseName(const ::testing::TestParamInfo<ViewCase>& info) {
    std::string name;
    for (const char* c = info.param.fault; *c != '\0' && name.size() < 60; ++c) {
        const bool word = std::isalnum(static_cast<unsigned char>(*c)) != 0;
        if (word) {
            name += *c;
        } else if (!name.empty() && name.back() != '_') {
            name += '_';
        }
    }
    return std::to_string(info.index) + "_" + name;
}

INSTANTIATE_TEST_SUITE_P(Views, FigureViewCases, ::testing::ValuesIn(kViewCases), CaseName);

// Refresh lists the Blocks the figure view acts on once and runs its passes over that list;
// the passes on their own walk the whole tree. Both must give the same view.
TEST_F(FigureTreeTest, RefreshMatchesThePassesRunOnTheWholeTree) {
    std::vector<std::string> texts;
    for (const ViewCase& c : kViewCases) {
        texts.push_back(c.text);
    }
    texts.push_back(
        "{\nactor head\n{\nchannels\n{\ntargetGeom Outer\n{\ntargetGeom Inner\n{\n}\n"
        "actor nested\n{\nchannels\n{\ntargetGeom Deep\n{\n}\n}\n}\n}\n}\n"
        "prop cap\n{\nparent nested\nchannels\n{\ntargetGeom Brim\n{\n}\n}\n}\n}\n"
        "targetGeom Stray\n{\n}\nprop box\n{\nparent cap\n}\n"
        "actor head\n{\nchannels\n{\ntargetGeom Second\n{\n}\n}\n}\n}\n");
    for (const std::string& text : texts) {
        const std::string refreshed = Show(text, kFigureView);
        control.DeleteAllItems();
        AddActorItems(file.root, tree, 0);
        AddPropItems(file.root, tree, 0);
        AddMorphItems(file.root, tree, 0);
        tree.RemoveEmptyFolders(0, "PROPS");
        tree.RemoveEmptyFolders(0, "MORPH TARGETS");
        control.SortTopLevel();
        EXPECT_EQ(FormatTreeListing(control), refreshed) << text;
    }
}

TEST_F(FigureTreeTest, ItemsLeadBackToTheirBlocks) {
    Show("{\nactor BODY:1\n{\nchannels\n{\ntargetGeom Blink\n{\n}\n}\n}\n}\n", kFigureView);
    const TreeItem body = control.GetChildItem(0);
    const TreeItem folder = control.GetChildItem(body);
    const TreeItem blink = control.GetChildItem(folder);
    ASSERT_NE(file.BlockOfItem(body), nullptr);
    EXPECT_EQ(file.BlockOfItem(body)->data, "BODY:1");
    ASSERT_NE(file.BlockOfItem(blink), nullptr);
    EXPECT_EQ(file.BlockOfItem(blink)->tag, "targetGeom");
    EXPECT_EQ(file.BlockOfItem(folder), nullptr);
    EXPECT_EQ(tree.FoldersOf(body).morphs, folder);
    EXPECT_EQ(tree.FoldersOf(body).props, 0u);  // removed as empty
    EXPECT_EQ(tree.FoldersOf(blink).morphs, 0u);
    EXPECT_EQ(file.BlockOfItem(0), nullptr);
    EXPECT_TRUE(control.ImageListInstalled());
}

TEST_F(FigureTreeTest, HandlesFromBeforeARefreshFindNothing) {
    Show("{\nactor BODY:1\n{\nchannels\n{\ntargetGeom Blink\n{\n}\n}\n}\n}\n", kFigureView);
    const TreeItem oldBody = control.GetChildItem(0);
    const TreeItem oldBlink = control.GetChildItem(control.GetChildItem(oldBody));
    file.root.children[0].children[0].children[0].data = "Wink";
    tree.Refresh();
    EXPECT_EQ(file.BlockOfItem(oldBody), nullptr);
    EXPECT_EQ(file.BlockOfItem(oldBlink), nullptr);
    EXPECT_FALSE(control.IsValid(oldBlink));
    EXPECT_EQ(FormatTreeListing(control),
              "[actor] BODY\n  [folder] MORPH TARGETS\n    [morph] Wink\n");
}

TEST_F(FigureTreeTest, RefreshSetsLoadedOnlyInTheRawAndPoseViews) {
    const std::string text = "{\nactor BODY\n{\nchannels\n{\n}\n}\n}\n";
    Show(text, kFigureView);
    EXPECT_EQ(file.loaded, 0);
    Show(text, kPoseView);
    EXPECT_EQ(file.loaded, 1);
    file.loaded = 0;
    Show(text, kRawView);
    EXPECT_EQ(file.loaded, 1);
    // The raw view opens its first item one level.
    EXPECT_TRUE(control.IsExpanded(tree.FindItemByText(0, "actor BODY")));
}

TEST_F(FigureTreeTest, FindItemByTextSearchesOnlyBelowTheStartInDisplayOrder) {
    const TreeItem a = control.InsertItem(0, "A", kImageActor);
    const TreeItem a1 = control.InsertItem(a, "one", kImageFolder);
    const TreeItem x1 = control.InsertItem(a1, "X", kImageMorph);
    const TreeItem b = control.InsertItem(0, "B", kImageActor);
    const TreeItem x2 = control.InsertItem(b, "X", kImageMorph);
    const TreeItem x3 = control.InsertItem(0, "X", kImageActor);
    EXPECT_EQ(tree.FindItemByText(0, "X"), x1);  // depth first, before the later top-level X
    EXPECT_EQ(tree.FindItemByText(b, "X"), x2);
    EXPECT_EQ(tree.FindItemByText(a1, "B"), 0u);  // never climbs out to the start's siblings
    EXPECT_EQ(tree.FindItemByText(x1, "X"), 0u);  // the start itself is not tested
    EXPECT_EQ(tree.FindItemByText(0, "x"), 0u);   // case-sensitive
    EXPECT_EQ(tree.FindItemByText(x3, "X"), 0u);
}

TEST_F(FigureTreeTest, RemoveEmptyFoldersKeepsFoldersWithChildren) {
    const TreeItem a = control.InsertItem(0, "A", kImageActor);
    control.InsertItem(a, "PROPS", kImageFolder);
    control.InsertItem(a, "PROPS", kImageFolder);
    const TreeItem full = control.InsertItem(a, "PROPS", kImageFolder);
    const TreeItem prop = control.InsertItem(full, "box", kImageProp);
    control.InsertItem(prop, "PROPS", kImageFolder);
    control.InsertItem(0, "PROPS", kImageFolder);
    tree.RemoveEmptyFolders(0, "PROPS");
    EXPECT_EQ(FormatTreeListing(control), "[actor] A\n  [folder] PROPS\n    [prop] box\n");
}

TEST_F(FigureTreeTest, DeepNestingDoesNotExhaustTheStack) {
    constexpr int kDepth = 200000;
    std::string text = "{\n";
    for (int i = 0; i < kDepth; ++i) {
        text += i % 2 == 0 ? "actor a\n{\n" : "prop p\n{\n";
    }
    for (int view : {kRawView, kFigureView, kPoseView}) {
        SetTree(file, text);
        file.viewKind = view;
        tree.Refresh();
    }
    // The pose view gives every actor and prop an item, each under the one before.
    EXPECT_EQ(control.ItemCount(), static_cast<std::size_t>(kDepth));
    EXPECT_EQ(tree.FindItemByText(0, "missing"), 0u);
    tree.RemoveEmptyFolders(0, "p");
    EXPECT_EQ(control.ItemCount(), static_cast<std::size_t>(kDepth - 1));
}

TEST_F(FigureTreeTest, CorpusCharacterShowsEveryActorOnce) {
    const std::string path = std::string(TESSARY_CORPUS_DIR) + "/vreng_SL_Female.cr2";
    if (!std::filesystem::exists(path)) {
        GTEST_SKIP() << "corpus not present";
    }
    SetTree(file, ReadBytes(path));
    file.viewKind = kFigureView;
    tree.Refresh();
    int actors = 0;
    for (TreeItem item = control.GetChildItem(0); item != 0;
         item = control.GetNextSiblingItem(item)) {
        EXPECT_EQ(control.GetItemImage(item), kImageActor) << control.GetItemText(item);
        EXPECT_FALSE(control.ItemHasChildren(item)) << control.GetItemText(item);
        ++actors;
    }
    EXPECT_EQ(actors, 20);
    EXPECT_NE(tree.FindItemByText(0, "BODY"), 0u);
}

}  // namespace
}  // namespace tessary::test
