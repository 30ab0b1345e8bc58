#include <gtest/gtest.h>

#include <unistd.h>
#include <filesystem>
#include <fstream>

#include "commands/CommandIds.h"
#include "commands/PaneCommands.h"
#include "edit/EditFixture.h"
#include "headless/MemoryTreeControl.h"
#include "pane/FigureTree.h"

namespace tessary {
namespace {

using testing::At;
using testing::Dump;
using testing::TwoPanes;

constexpr const char* kFigure = R"({
actor BODY:1
{
channels
{
}
}
actor hip:1
{
channels
{
targetGeom Smile:1
{
}
targetGeom Frown
{
}
}
}
prop box_1:1
{
}
prop box_1:1
{
parent hip:1
}
figureResFile :Runtime:a.obj
figure
{
addChild box_1:1
hip:1
}
})";

constexpr const char* kPose = R"({
actor lHand:1
{
channels
{
targetGeom Fist
{
}
rotateX xrot
{
keys
{
k 0 12
}
}
}
}
})";

// Two panes with their trees and dispatchers, as the main window holds them.
struct Window : TwoPanes {
    MemoryTreeControl leftControl;
    MemoryTreeControl rightControl;
    FigureTree leftTree{leftControl, left};
    FigureTree rightTree{rightControl, right};
    CommandContext context;
    PaneCommands leftCommands{leftTree, context};
    PaneCommands rightCommands{rightTree, context};

    Window() {
        left.viewKind = kFigureView;
        right.viewKind = kFigureView;
    }

    void Show(FigureFile& file, const char* text, std::int32_t viewKind) {
        Fill(file, text, viewKind);
        file.tree->Refresh();
    }
    TreeItem Item(MemoryTreeControl& control, FigureTree& tree, std::string_view text) {
        (void)control;
        return tree.FindItemByText(0, text);
    }
    TreeItem Left(std::string_view text) { return Item(leftControl, leftTree, text); }
    TreeItem Right(std::string_view text) { return Item(rightControl, rightTree, text); }
    // The MORPH TARGETS or PROPS folder under an owner item.
    TreeItem LeftFolder(std::string_view owner, std::string_view folder) {
        return leftTree.FindItemByText(Left(owner), folder);
    }
};

// The Block Info dialog's own tree on the line "name x", with its dispatcher.
struct InspectorTree : TwoPanes {
    MemoryTreeControl control;
    FigureTree tree{control, left};
    CommandContext context;
    PaneCommands commands{tree, context, false};

    InspectorTree() {
        left.otherPane = nullptr;
        left.root = testing::ParseTree("{\nname x\n}");
        left.viewKind = kRawView;
        tree.Refresh();
    }
};

std::string Texts(const Menu& menu) {
    std::string texts;
    for (const MenuItem& item : menu.items) {
        texts += item.separator ? std::string("-") : item.text;
        texts += "|";
    }
    return texts;
}

TEST(MenuTest, ResourcesHoldTheirEntriesInOrder) {
    struct Case {
        int id;
        const char* texts;
    } cases[] = {
        {146, "Copy|Rename|Delete|Export To OBJ|Properties|-|Cancel|"},
        {147, "Copy All Props|Delete All Props |Export All to Obj|-|Cancel|"},
        {148, "&Export To OBJ|&Properties|-|&Cancel|"},
        {149,
         "Copy All Morph Targets|Delete All Morph Targets|Combine Morph Targets|"
         "Export All Morph Targets|-|Cancel|"},
        {159, "Change &Data|Change &Tag|Delete|-|&Cancel|"},
        {164,
         "Copy &All|Copy Only Channels|Copy Only Morph Targets|&Properties|-|"
         "Zero All Settings|Zero Only Channel Settings|Zero Only Morph Settings|-|Delete|"
         "Delete Only Channels|Delete Only Morph Targets|"},
        {165, "&Copy|&Properties|-|&Zero Settings|&Delete|"},
        {168,
         "&Copy and zero specific regions.|Zero all morph targets in file.|"
         "Zero all channels in file.|-|Delete all morph targets from file.|"
         "Delete all channels from file.|Delete all props from file.|"},
    };
    for (const Case& c : cases) {
        const std::optional<Menu> menu = LoadMenu(c.id);
        ASSERT_TRUE(menu) << c.id;
        EXPECT_EQ(Texts(*menu), c.texts) << c.id;
    }
    EXPECT_FALSE(LoadMenu(150));
    EXPECT_EQ(LoadMenu(164)->FindByPlainText("Copy Only Morph Targets")->id, 32789);
    EXPECT_EQ(LoadMenu(147)->FindByPlainText("Delete All Props")->id, 32783);
    EXPECT_EQ(LoadMenu(148)->FindByPlainText("Export To OBJ")->id, 32785);
    EXPECT_EQ(LoadMenu(148)->FindByPlainText("&Export To OBJ"), nullptr);
}

TEST(ContextMenuTest, ItemClassPicksTheMenu) {
    Window w;
    w.Show(w.left, kFigure, kFigureView);
    w.Show(w.right, kPose, kPoseView);
    struct Case {
        PaneCommands* commands;
        TreeItem item;
        std::optional<int> menu;
    } cases[] = {
        {&w.leftCommands, w.Left("hip"), 148},
        {&w.leftCommands, w.LeftFolder("hip", "MORPH TARGETS"), 149},
        {&w.leftCommands, w.LeftFolder("hip", "PROPS"), 147},
        {&w.leftCommands, w.Left("Smile"), 146},
        {&w.leftCommands, w.Left("box_1"), 146},
        {&w.rightCommands, w.Right("lHand"), 164},
        {&w.rightCommands, w.Right("xrot"), 165},
        {&w.rightCommands, w.Right("Fist"), 165},
        {&w.leftCommands, 0, std::nullopt},
    };
    for (const Case& c : cases) {
        const std::optional<Menu> menu = c.commands->OpenContextMenu(c.item);
        EXPECT_EQ(menu ? std::optional<int>(menu->resourceId) : std::nullopt, c.menu) << c.item;
        if (menu) {
            EXPECT_EQ(c.commands->file.commandItem, c.item);
            EXPECT_EQ(c.commands->tree.control.GetSelectedItem(), c.item);
            ASSERT_TRUE(w.context.currentPopup);
            EXPECT_EQ(w.context.currentPopup->resourceId, *c.menu);
        } else {
            EXPECT_FALSE(w.context.currentPopup);
        }
    }
}

TEST(ContextMenuTest, EmptyPaneIgnoresTheClickEntirely) {
    Window w;
    w.Show(w.right, kPose, kPoseView);
    w.rightCommands.OpenContextMenu(w.Right("xrot"));
    ASSERT_TRUE(w.context.currentPopup);
    // A right-click anywhere destroys the popup shown last, even in an empty pane.
    EXPECT_FALSE(w.leftCommands.OpenContextMenu(1));
    EXPECT_FALSE(w.context.currentPopup);
    EXPECT_EQ(w.leftControl.GetSelectedItem(), 0u);
    EXPECT_EQ(w.left.commandItem, 0u);
}

TEST(ContextMenuTest, GrayingFollowsGeometryAndTheOtherPane) {
    Window w;
    w.Show(w.left, kFigure, kFigureView);
    struct Case {
        const char* what;
        TreeItem item;
        int id;
        bool grayed;
    } cases[] = {
        {"morph export needs geometry", w.Left("Smile"), kCmdExportToObj, true},
        {"prop export has its own", w.Left("box_1"), kCmdExportToObj, false},
        {"actor export", w.Left("hip"), kCmdExportActorToObj, false},
        {"export all morphs", w.LeftFolder("hip", "MORPH TARGETS"), kCmdExportAllMorphTargets,
         true},
        {"copy into an empty pane", w.Left("Smile"), kCmdCopy, true},
        {"copy all morphs into an empty pane", w.LeftFolder("hip", "MORPH TARGETS"),
         kCmdCopyAllMorphTargets, true},
        {"copy all props into an empty pane", w.LeftFolder("hip", "PROPS"), kCmdCopyAllProps, true},
        {"delete stays", w.Left("Smile"), kCmdDelete, false},
    };
    for (const Case& c : cases) {
        const std::optional<Menu> menu = w.leftCommands.OpenContextMenu(c.item);
        ASSERT_TRUE(menu) << c.what;
        EXPECT_EQ(menu->IsGrayed(c.id), c.grayed) << c.what;
    }

    // Pose files gray nothing, even with the other pane empty.
    Window pose;
    pose.Show(pose.left, kPose, kPoseView);
    for (const char* label : {"lHand", "xrot"}) {
        const std::optional<Menu> menu = pose.leftCommands.OpenContextMenu(pose.Left(label));
        ASSERT_TRUE(menu);
        for (const MenuItem& item : menu->items) {
            EXPECT_FALSE(item.grayed) << label << " " << item.text;
        }
    }
}

TEST(DispatchTest, CopyNeedsTheOtherPaneAndRefreshesIt) {
    Window w;
    w.Show(w.left, kPose, kPoseView);
    w.leftCommands.OpenContextMenu(w.Left("xrot"));
    w.leftCommands.Dispatch(kCmdCopyPoseLine);  // other pane empty: nothing at all
    EXPECT_EQ(w.ui.waitCursors, 0);
    EXPECT_EQ(w.right.loaded, 0);
    EXPECT_FALSE(w.context.currentPopup);
    // "Copy All" runs without checking the other pane first; each copy finds it empty, and the
    // empty pane is not refreshed, which would make it show as loaded.
    w.leftCommands.OpenContextMenu(w.Left("lHand"));
    w.leftCommands.Dispatch(kCmdCopyAll);
    EXPECT_EQ(w.right.loaded, 0);
    EXPECT_EQ(w.rightControl.ItemCount(), 0u);
    EXPECT_TRUE(w.right.root.children.empty());
    w.ui.waitCursors = 0;
    w.ui.arrowCursors = 0;

    w.Show(w.right, "{\nactor lHand:2\n{\nchannels\n{\n}\n}\n}", kPoseView);
    w.leftCommands.OpenContextMenu(w.Left("xrot"));
    w.leftCommands.Dispatch(kCmdCopyPoseLine);
    EXPECT_NE(w.Right("xrot"), 0u);  // the other tree shows the copy
    EXPECT_EQ(w.right.modified, 1);
    EXPECT_EQ(w.ui.waitCursors, 1);
    EXPECT_EQ(w.ui.arrowCursors, 1);
}

TEST(DispatchTest, DeleteKeyAsksUnderConfirmDelete) {
    struct Case {
        const char* what;
        const char* text;
        std::int32_t viewKind;
        const char* label;
        std::int32_t confirmDelete;
        MessageAnswer answer;
        const char* log;
        bool deleted;
    } cases[] = {
        {"morph target, OK", kFigure, kFigureView, "Smile", 1, MessageAnswer::Ok,
         "[Delete?] Are you sure you wish to delete morph target Smile:1?", true},
        {"morph target, Cancel", kFigure, kFigureView, "Smile", 1, MessageAnswer::Cancel,
         "[Delete?] Are you sure you wish to delete morph target Smile:1?", false},
        {"morph target, no question", kFigure, kFigureView, "Frown", 0, MessageAnswer::Cancel, "",
         true},
        {"prop", kFigure, kFigureView, "box_1", 1, MessageAnswer::Ok,
         "[Delete Prop?] Are you sure you wish to delete prop box_1:1?", true},
        {"pose line", kPose, kPoseView, "xrot", 1, MessageAnswer::Ok,
         "[Delete?] Are you sure you wish to delete rotateX xrot?", true},
    };
    for (const Case& c : cases) {
        Window w;
        w.Show(w.left, c.text, c.viewKind);
        w.left.confirmDelete = c.confirmDelete;
        w.ui.answers.push_back(c.answer);
        const TreeItem item = w.Left(c.label);
        w.leftControl.SelectItem(item);

        w.leftCommands.OnKey(TreeKey::Delete);

        EXPECT_EQ(w.ui.log.empty() ? std::string() : w.ui.log.front(), c.log) << c.what;
        EXPECT_EQ(w.leftControl.IsValid(item), !c.deleted) << c.what;
        EXPECT_EQ(w.left.BlockOfItem(item) == nullptr, c.deleted) << c.what;
        EXPECT_EQ(w.left.modified, c.deleted ? 1 : 0) << c.what;
    }
}

TEST(DispatchTest, DeletingAPropWithoutFigureBlockRebuildsTheTree) {
    Window w;
    w.Show(w.left,
           "{\nactor hip\n{\nchannels\n{\n}\n}\nprop box\n{\n}\nprop box\n{\nparent hip\n}\n}",
           kFigureView);
    w.left.confirmDelete = 0;
    w.leftCommands.OpenContextMenu(w.Left("box"));
    w.leftCommands.Dispatch(kCmdDelete);
    EXPECT_EQ(w.Left("box"), 0u);
    EXPECT_EQ(Dump(w.left.root), "actor hip\n    channels\n");
}

TEST(DispatchTest, DeleteAllNamesTheBaseNameAndHonoursCancel) {
    Window w;
    w.Show(w.left, kFigure, kFigureView);
    w.ui.answers = {MessageAnswer::Cancel, MessageAnswer::Ok};
    const TreeItem folder = w.LeftFolder("hip", "MORPH TARGETS");

    w.leftCommands.OpenContextMenu(folder);
    w.leftCommands.Dispatch(kCmdDeleteAllMorphTargets);
    EXPECT_NE(w.Left("Smile"), 0u);

    w.leftCommands.OpenContextMenu(folder);
    w.leftCommands.Dispatch(kCmdDeleteAllMorphTargets);
    EXPECT_EQ(w.Left("Smile"), 0u);
    EXPECT_EQ(Dump(*At(w.left.root, {"actor hip:1"})), "channels\n");
    ASSERT_EQ(w.ui.log.size(), 2u);
    EXPECT_EQ(w.ui.log[1],
              "[Delete all Morph Target?] This will delete ALL morph targets from the hip body "
              "part! Are you sure?");
}

TEST(DispatchTest, PoseActorCommandsActOnTheActorItself) {
    Window w;
    w.Show(w.left, kPose, kPoseView);
    w.left.confirmDelete = 0;
    w.leftCommands.OpenContextMenu(w.Left("lHand"));
    w.leftCommands.Dispatch(kCmdZeroAllSettings);
    EXPECT_EQ(
        At(w.left.root, {"actor lHand:1", "channels ", "rotateX xrot", "keys "})->children[0].data,
        "0 0");
    w.leftCommands.OpenContextMenu(w.Left("lHand"));
    w.leftCommands.Dispatch(kCmdDeleteOnlyChannels);
    EXPECT_EQ(Dump(*At(w.left.root, {"actor lHand:1"})), "channels\n    targetGeom Fist\n");
}

TEST(DispatchTest, ConnectedHandlersKeepTheTableRules) {
    Window w;
    w.Show(w.left, kFigure, kFigureView);
    std::vector<TreeItem> combined;
    w.leftCommands.SetHandler(kCmdCombineMorphTargets,
                              [&](PaneCommands&, TreeItem owner) { combined.push_back(owner); });
    std::vector<TreeItem> regions;
    w.leftCommands.SetHandler(kCmdRegions,
                              [&](PaneCommands&, TreeItem target) { regions.push_back(target); });

    w.leftCommands.OpenContextMenu(w.LeftFolder("hip", "MORPH TARGETS"));
    w.leftCommands.Dispatch(kCmdCombineMorphTargets);
    w.leftCommands.Dispatch(kCmdRegions);
    w.leftCommands.Dispatch(kCmdCancel);
    w.leftCommands.Dispatch(32792);  // in the range, not in the table
    w.leftCommands.Dispatch(40000);

    EXPECT_EQ(combined, std::vector<TreeItem>{w.Left("hip")});  // the folder's owner
    EXPECT_EQ(regions, std::vector<TreeItem>{0});               // the whole file
    EXPECT_EQ(w.ui.waitCursors, 0);
    EXPECT_EQ(w.ui.arrowCursors, 1);  // combining ends with the arrow
}

TEST(RenameTest, LabelEditIsForFigureMorphsAndPropsOnly) {
    Window w;
    w.Show(w.left, kFigure, kFigureView);
    w.Show(w.right, kPose, kPoseView);
    EXPECT_TRUE(w.leftCommands.CanBeginLabelEdit(w.Left("Smile")));
    EXPECT_TRUE(w.leftCommands.CanBeginLabelEdit(w.Left("box_1")));
    EXPECT_FALSE(w.leftCommands.CanBeginLabelEdit(w.Left("hip")));
    EXPECT_FALSE(w.leftCommands.CanBeginLabelEdit(w.LeftFolder("hip", "PROPS")));
    EXPECT_FALSE(w.rightCommands.CanBeginLabelEdit(w.Right("xrot")));

    // An actor's label cannot be changed by ending an edit either.
    w.leftCommands.EndLabelEdit(w.Left("hip"), "Pelvis");
    EXPECT_NE(w.Left("hip"), 0u);
    EXPECT_NE(At(w.left.root, {"actor hip:1"}), nullptr);
}

TEST(RenameTest, EndOfEditTrimsAndIgnoresBlanks) {
    Window w;
    w.Show(w.left, kFigure, kFigureView);
    const TreeItem smile = w.Left("Smile");
    for (const std::optional<std::string>& text :
         {std::optional<std::string>(), std::optional<std::string>("   "),
          std::optional<std::string>("\t")}) {
        w.leftCommands.EndLabelEdit(smile, text);
    }
    EXPECT_EQ(w.leftControl.GetItemText(smile), "Smile");
    EXPECT_EQ(w.left.modified, 0);

    w.leftCommands.EndLabelEdit(smile, std::string("  Grin \t"));
    EXPECT_EQ(w.leftControl.GetItemText(smile), "Grin");
    EXPECT_EQ(w.left.BlockOfItem(smile)->data, "Grin:1");
    EXPECT_EQ(w.left.modified, 1);
}

TEST(RenameTest, NamesAndValuesThatWouldBreakTheFileAreRefused) {
    Window w;
    w.Show(w.left, kFigure, kFigureView);
    const TreeItem smile = w.Left("Smile");
    InspectorTree inspector;
    auto& commands = inspector.commands;
    auto& tree = inspector.tree;
    const std::string refusal =
        "[Invalid Name] A name or value cannot contain \"{\", \"}\" or a line break.";
    for (const std::string& text :
         {std::string("Smile}"), std::string("Smile{v2}"), std::string("{"), std::string("a\nb"),
          std::string("a\rb"), std::string("a\0b", 3), std::string("Smile\n")}) {
        w.ui.log.clear();
        w.leftCommands.EndLabelEdit(smile, text);
        EXPECT_EQ(w.ui.log, std::vector<std::string>{refusal});
        for (int command : {kCmdChangeData, kCmdChangeTag}) {
            inspector.ui.log.clear();
            commands.runChangeDialog = [&](const std::string&, const std::string&) {
                return std::optional<std::string>(text);
            };
            commands.OpenContextMenu(tree.FindItemByText(0, "name x"));
            commands.Dispatch(command);
            EXPECT_EQ(inspector.ui.log, std::vector<std::string>{refusal});
        }
    }
    EXPECT_EQ(w.leftControl.GetItemText(smile), "Smile");
    EXPECT_EQ(w.left.BlockOfItem(smile)->data, "Smile:1");
    EXPECT_EQ(w.left.modified, 0);
    EXPECT_EQ(Dump(inspector.left.root), Dump(testing::ParseTree("{\nname x\n}")));
    EXPECT_EQ(inspector.left.modified, 0);
}

TEST(RenameTest, InsertKeyStartsTheEditorOnFigureFilesOnly) {
    Window w;
    w.Show(w.left, kFigure, kFigureView);
    w.Show(w.right, kPose, kPoseView);
    std::vector<TreeItem> started;
    w.leftCommands.startLabelEdit = [&](TreeItem item) { started.push_back(item); };
    w.rightCommands.startLabelEdit = [&](TreeItem item) { started.push_back(item); };

    w.leftCommands.OnKey(TreeKey::Insert);  // nothing selected
    w.leftControl.SelectItem(w.Left("Smile"));
    w.leftCommands.OnKey(TreeKey::Insert);
    w.rightControl.SelectItem(w.Right("xrot"));
    w.rightCommands.OnKey(TreeKey::Insert);

    EXPECT_EQ(started, std::vector<TreeItem>{w.Left("Smile")});
}

TEST(DialogCommandTest, PropertiesAndChangeGoThroughTheirDialogs) {
    Window w;
    w.Show(w.left, kFigure, kFigureView);
    w.leftCommands.runBlockInfoDialog = [](Block& block) {
        block.data = "Beam:1";
        return true;
    };
    w.leftCommands.OpenContextMenu(w.Left("Smile"));
    w.leftCommands.Dispatch(kCmdProperties);
    EXPECT_NE(w.Left("Beam"), 0u);
    EXPECT_EQ(w.left.modified, 1);

    // The inspector's own tree: Change Data takes the text exactly as typed.
    InspectorTree inspector;
    auto& commands = inspector.commands;
    auto& tree = inspector.tree;
    std::string askedLabel;
    commands.runChangeDialog = [&](const std::string& label, const std::string&) {
        askedLabel = label;
        return std::optional<std::string>(" y z ");
    };
    const std::optional<Menu> menu = commands.OpenContextMenu(tree.FindItemByText(0, "name x"));
    ASSERT_TRUE(menu);
    EXPECT_EQ(menu->resourceId, 159);
    commands.Dispatch(kCmdChangeData);
    EXPECT_EQ(askedLabel, "Change Data:");
    EXPECT_EQ(inspector.left.root.children[0].data, " y z ");
    EXPECT_FALSE(commands.OnDrop({"/nowhere/a.cr2"}));
}

TEST(DropTest, FirstFileLoadsAndObjInAnyCaseIsGeometry) {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("tessary_drop_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string pose = (dir / "hand.hd2").string();
    std::ofstream(pose) << kPose;

    Window w;
    EXPECT_TRUE(w.leftCommands.OnDrop({pose, (dir / "other.cr2").string()}));
    EXPECT_EQ(w.left.loaded, 1);
    EXPECT_EQ(w.left.fileName, "hand.hd2");
    EXPECT_EQ(w.left.viewKind, kPoseView);
    EXPECT_NE(w.Left("xrot"), 0u);

    const std::string obj = (dir / "MESH.OBJ").string();
    std::ofstream(obj) << "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n";
    EXPECT_TRUE(w.leftCommands.OnDrop({obj}));
    EXPECT_EQ(w.left.objFileName, "MESH.OBJ");
    EXPECT_EQ(w.left.fileName, "hand.hd2");
    EXPECT_TRUE(w.left.objMesh);

    // Unsaved changes: a pose file dropped on the pane asks first; an OBJ file does not.
    const std::string figure = (dir / "figure.cr2").string();
    std::ofstream(figure) << kFigure;
    w.left.modified = 1;
    w.ui.log.clear();
    EXPECT_TRUE(w.leftCommands.OnDrop({obj}));
    w.ui.answers = {MessageAnswer::No, MessageAnswer::Yes};
    EXPECT_TRUE(w.leftCommands.OnDrop({figure}));
    EXPECT_EQ(w.left.fileName, "hand.hd2");
    EXPECT_EQ(w.left.modified, 1);
    EXPECT_NE(w.Left("xrot"), 0u);
    EXPECT_TRUE(w.leftCommands.OnDrop({figure}));
    EXPECT_EQ(w.left.fileName, "figure.cr2");
    EXPECT_EQ(w.left.modified, 0);
    const std::string question =
        "[WARNING!] You have made changes. Are you sure you wish to discard them?";
    EXPECT_EQ(w.ui.log, (std::vector<std::string>{question, question}));
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace tessary
