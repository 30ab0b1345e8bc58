#include "geometry/ObjExport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <string>

#include "support/RecordingUi.h"
#include "edit/MorphDeltas.h"
#include "headless/MemoryProfileStore.h"
#include "headless/MemoryTreeControl.h"
#include "model/TextIO.h"
#include "pane/FigureFile.h"
#include "pane/FigureTree.h"
#include "platform/DateText.h"
#include "support/Gzip.h"
#include "support/ScratchDir.h"

namespace tessary {

using test::Inflated;
using test::ReadBytes;
using test::ScratchDir;
using test::WriteBytes;
namespace {

constexpr const char* kHeader =
    "# Created by Tessary - obj compatible with Poser 3\n"
    "# Exported on: Thursday, January 01, 1970: 00:00:00\n"
    "# Note: Morph targets are intellectual propery of their creators. As such\n"
    "# distribution of morph targets without due credit or redistribution\n"
    "# under your own name is piracy. Please give credit where credit is due.\n";

constexpr const char* kObj =
    "v 1 2 3\nv 0.5 -0.25 0\nv 100 200 1234567\nv 4 5 0.00001\n"
    "vt 0.5 0.25\nvt 1 0\nvn 0 0 1\n"
    "g LHAND\n"
    "f 1/1/1 2/2/1 3/1/1 4/2/1\nf 1/1 2/2 3/1\nf 1//1 2//1 4//1\nf 2/ 3/ 4/\n"
    "g other\nf 1 2 3\n";

// The group above, unmoved.
constexpr const char* kGroupBody =
    "v 1 2 3\nv 0.5 -0.25 0\nv 100 200 1.23457e+006\nv 4 5 1e-005\n"
    "vt 0.500000 0.250000\nvt 1.000000 0.000000\nvn 0.000000 0.000000 1.000000\n"
    "g LHAND\n"
    "f 1/1/1 2/2/1 3/1/1 4/2/1 \nf 1/1 2/2 3/1 \nf 1//1 2//1 4//1 \nf 2/ 3/ 4/ \n";

constexpr const char* kFigure =
    "{\nversion\n{\nnumber 4.01\n}\n"
    "actor lHand:1\n{\nchannels\n{\n"
    "targetGeom Smile\n{\nname Smile\nkeys\n{\nstatic 0\nk 0 1\n}\nindexes 3\nnumbDeltas 3\n"
    "deltas\n{\nd 0 0.5 0 0\nd 1 0 0 1\nd 3 9 9 9\n}\n}\n"
    "targetGeom Blank\n{\nname Blank\n}\n"
    "targetGeom a/b:c\n{\nname odd\n}\n"
    "}\n}\n"
    "prop box_1\n{\ngeomCustom\n{\nnumbVerts 8\nv 0 0 0\nvt 0.5 1\nf 1 2 3\nusemtl Box\n"
    "weird line\n{\nv 9 9 9\n}\n}\n}\n"
    "prop box_1\n{\nparent lHand:1\n}\n"
    "prop ball_1\n{\nparent lHand:2\n}\n"
    "prop cube_1\n{\nname cube\n}\n"
    "prop cube_1\n{\nparent lHand:1\n}\n"
    "prop cone_1\n{\nparent hip:1\nparent lHand:1\n}\n"
    "}\n";

class ObjExportTest : public ::testing::Test {
  protected:
    test::RecordingUi ui;
    MemoryProfileStore store;
    FigureFile file{ui, store};
    MemoryTreeControl control;
    FigureTree tree{control, file};
    ScratchDir dir;

    void SetUp() override {
        ui.fixedExportTime = 0;
        std::string text = kFigure;
        ParseFileText(text, file.root);
        file.viewKind = kFigureView;
        file.loaded = 1;
        tree.Refresh();
    }

    void Attach(const std::string& obj) {
        file.objMesh.reset(new ObjMesh);
        file.objMesh->Parse(obj);
    }

    // The tree item of the Block reached through these line keys from the top level; the
    // n-th Block with the last key when several share it.
    TreeItem ItemOf(std::initializer_list<std::string> keys, int n = 0) {
        Block* block = &file.root;
        std::size_t level = 0;
        for (const std::string& key : keys) {
            const bool last = ++level == keys.size();
            Block* found = nullptr;
            int seen = 0;
            for (Block& child : block->children) {
                if (child.LineKey() == key && (!last || seen++ == n)) {
                    found = &child;
                    break;
                }
            }
            if (!found) {
                ADD_FAILURE() << "no " << key;
                return 0;
            }
            block = found;
        }
        EXPECT_NE(block->treeItem, 0u);
        return block->treeItem;
    }

    TreeItem Smile() { return ItemOf({"actor lHand:1", "channels ", "targetGeom Smile"}); }
};

TEST(WriteGroup, WritesTheExactBytesWithOffsetsApplied) {
    ObjMesh mesh;
    mesh.Parse(kObj);
    std::vector<ObjPoint> offsets = {{0.5, 0, 0}, {0, 0, 1}};
    std::optional<std::string> text =
        mesh.WriteGroup("lhand", offsets, "Thursday, January 01, 1970: 00:00:00");
    ASSERT_TRUE(text);
    std::string expected = std::string(kHeader) + kGroupBody;
    expected.replace(expected.find("v 1 2 3"), 7, "v 1.5 2 3");
    expected.replace(expected.find("v 0.5 -0.25 0"), 13, "v 0.5 -0.25 1");
    EXPECT_EQ(*text, expected);
    EXPECT_FALSE(mesh.WriteGroup("nosuch", {}, "x"));
}

TEST(WriteGroup, WhatIsWrittenReadsBackAsTheSameGroup) {
    ObjMesh mesh;
    mesh.Parse(kObj);
    ObjMesh again;
    again.Parse(*mesh.WriteGroup("LHAND", {}, "now"));
    const ObjGroup& a = *mesh.FindGroup("LHAND");
    const ObjGroup& b = *again.FindGroup("LHAND");
    ASSERT_EQ(a.faces.size(), b.faces.size());
    EXPECT_EQ(a.vertices.size(), b.vertices.size());
    EXPECT_EQ(a.textureVertices.size(), b.textureVertices.size());
    EXPECT_EQ(a.normals.size(), b.normals.size());
    for (std::size_t f = 0; f < a.faces.size(); ++f) {
        for (std::size_t c = 0; c < 4; ++c) {
            EXPECT_EQ(a.faces[f].corners[c].vertexIndex, b.faces[f].corners[c].vertexIndex);
            EXPECT_EQ(a.faces[f].corners[c].textureIndex, b.faces[f].corners[c].textureIndex);
            EXPECT_EQ(a.faces[f].corners[c].normalIndex, b.faces[f].corners[c].normalIndex);
        }
    }
}

TEST(BuildOffsetTable, HoldsNumbDeltasEntriesAndSkipsStrayVertices) {
    MorphDeltas deltas{1, {{0, 1, 1, 1}, {2, 2, 2, 2}, {-1, 5, 5, 5}, {9, 5, 5, 5}, {0, 3, 3, 3}}};
    std::vector<ObjPoint> table = BuildOffsetTable(deltas, 4, 100);
    ASSERT_EQ(table.size(), 4u);
    EXPECT_DOUBLE_EQ(table[0].x, 3);  // the last delta for a vertex wins
    EXPECT_DOUBLE_EQ(table[1].x, 0);
    EXPECT_DOUBLE_EQ(table[2].y, 2);
    EXPECT_TRUE(BuildOffsetTable(deltas, -5, 100).empty());
    // A hostile numbDeltas costs no more than the group's vertices.
    EXPECT_EQ(BuildOffsetTable(deltas, 2000000000, 3).size(), 3u);
}

TEST(SafeFileName, ReplacesWhatNoFileNameMayHold) {
    EXPECT_EQ(SafeFileName("Smile.obj"), "Smile.obj");
    EXPECT_EQ(SafeFileName("a/b\\c:d*e?f\"g<h>i|j.obj"), "a_b_c_d_e_f_g_h_i_j.obj");
    EXPECT_EQ(SafeFileName(std::string("x\ty\n\x01\x7f", 6)), "x_y___");
    EXPECT_EQ(SafeFileName("../up.obj"), ".._up.obj");
}

TEST(FormatDateText, EnglishNamesInAnyLocale) {
    EXPECT_EQ(FormatDateText(0, true), "Thursday, January 01, 1970: 00:00:00");
    EXPECT_EQ(FormatDateText(1000000000, true), "Sunday, September 09, 2001: 01:46:40");
}

TEST_F(ObjExportTest, MorphTargetMovesTheFirstNumbDeltasVertices) {
    Attach(kObj);
    std::string target = dir.File("out.obj");
    ui.fileAnswers.push_back(target);
    EXPECT_EQ(ExportMorphTarget(file, Smile()), 1);
    std::string expected = std::string(kHeader) + kGroupBody;
    expected.replace(expected.find("v 1 2 3"), 7, "v 1.5 2 3");
    expected.replace(expected.find("v 0.5 -0.25 0"), 13, "v 0.5 -0.25 1");
    EXPECT_EQ(ReadBytes(target), expected);  // delta 3 lies beyond numbDeltas: ignored
    EXPECT_EQ(file.modified, 1);
    ASSERT_EQ(ui.dialogs.size(), 1u);
    const FileDialogRequest& request = ui.dialogs[0];
    EXPECT_EQ(request.filter,
              "Wavefront OBJ Files (*.obj)|*.obj|Compressed Wavefront OBJ Files (*.obz)|*.obz||");
    EXPECT_EQ(request.defaultExtension, "obj");
    EXPECT_EQ(request.proposedName, "Smile.obj");
    EXPECT_TRUE(request.overwritePrompt && request.pathMustExist && request.createPrompt);
    EXPECT_EQ(ui.log,
              (std::vector<std::string>{"save Smile.obj -> " + target, "exporting " + target,
                                        "wait cursor", "arrow cursor", "exporting close"}));
}

TEST_F(ObjExportTest, ActorAndEmptyMorphExportTheGroupAsItIs) {
    Attach(kObj);
    ui.fileAnswers.push_back(dir.File("actor.obj"));
    ui.fileAnswers.push_back(dir.File("blank.obj"));
    EXPECT_EQ(ExportMorphTarget(file, ItemOf({"actor lHand:1"})), 1);
    EXPECT_EQ(ExportMorphTarget(file, ItemOf({"actor lHand:1", "channels ", "targetGeom Blank"})),
              1);
    EXPECT_EQ(ui.dialogs[0].proposedName, "lHand.obj");
    EXPECT_EQ(ReadBytes(dir.File("actor.obj")), std::string(kHeader) + kGroupBody);
    EXPECT_EQ(ReadBytes(dir.File("blank.obj")), std::string(kHeader) + kGroupBody);
}

// Without the body part's group (or without any OBJ file) every export says so before any
// dialog, once for a whole "Export All Morph Targets", and writes nothing.
TEST_F(ObjExportTest, WithoutAGroupTheExportSaysSoAndWritesNothing) {
    const std::string message = "message [OBJ Export] The OBJ file has no group named lHand. (!)";
    EXPECT_EQ(ExportMorphTarget(file, Smile()), 0);
    EXPECT_EQ(ExportMorphTarget(file, ItemOf({"actor lHand:1"})), 0);
    Attach("v 0 0 0\ng hip\nf 1 1 1\n");
    EXPECT_EQ(ExportMorphTarget(file, Smile()), 0);
    ExportAllMorphTargets(file, ItemOf({"actor lHand:1"}));
    EXPECT_EQ(ui.log, std::vector<std::string>(4, message));
    EXPECT_TRUE(ui.dialogs.empty());
    EXPECT_EQ(file.modified, 0);
}

TEST_F(ObjExportTest, CancelChangesNothing) {
    Attach(kObj);
    ui.fileAnswers.push_back(std::nullopt);
    EXPECT_EQ(ExportMorphTarget(file, Smile()), 0);
    EXPECT_EQ(file.modified, 0);
    EXPECT_EQ(ui.log.size(), 1u);
}

TEST_F(ObjExportTest, AutoNameWritesIntoTheCurrentFolderWithASafeName) {
    Attach(kObj);
    file.autoName = 1;
    std::filesystem::path saved = std::filesystem::current_path();
    std::filesystem::current_path(dir.Path());
    WriteBytes(dir.File("Smile.obj"), "old");
    int smile = ExportMorphTarget(file, Smile());
    int odd = ExportMorphTarget(file, ItemOf({"actor lHand:1", "channels ", "targetGeom a/b:c"}));
    std::filesystem::current_path(saved);
    EXPECT_EQ(smile, 1);
    EXPECT_EQ(odd, 1);
    EXPECT_TRUE(ui.dialogs.empty());
    EXPECT_EQ(ReadBytes(dir.File("Smile.obj")).substr(0, 9), "# Created");  // replaced
    EXPECT_TRUE(std::filesystem::exists(dir.File("a_b_c.obj")));
}

TEST_F(ObjExportTest, AFileThatCannotBeWrittenIsReported) {
    Attach(kObj);
    ui.fileAnswers.push_back(dir.File("missing/folder/out.obj"));
    EXPECT_EQ(ExportMorphTarget(file, Smile()), 0);
    EXPECT_EQ(ui.log.back(), "message [OBJ File Open Error] Error opening obj file. (!)");
    EXPECT_EQ(file.modified, 1);
}

TEST_F(ObjExportTest, PropExportCopiesInlineGeometryFromEitherBlock) {
    std::string first = dir.File("first.obj");
    std::string second = dir.File("second.OBZ");  // written compressed
    // The cone_1 and cube_1 exports in between are cancelled.
    ui.fileAnswers = {first, std::nullopt, std::nullopt, second};
    EXPECT_EQ(ExportProp(file, ItemOf({"prop box_1"}, 1)), 1);  // the one the tree shows
    // The definition block has no item of its own in the figure view; reach it through
    // ExportAllProps instead, which takes Blocks from the file.
    ExportAllProps(file, ItemOf({"actor lHand:1"}));
    const char* expected =
        "# numbVerts 8\r\nv 0 0 0\r\nvt 0.5 1\r\nf 1 2 3\r\nusemtl Box\r\n# weird line\r\n";
    EXPECT_EQ(ReadBytes(first), expected);
    EXPECT_EQ(ReadBytes(second).substr(0, 2), "\x1F\x8B");
    EXPECT_EQ(Inflated(second), expected);
    EXPECT_EQ(ui.dialogs[0].proposedName, "box_1");
    EXPECT_EQ(ui.dialogs[0].filter,
              "Wavefront Obj Files (*.obj)|*.obj|Compressed Wavefront Obj Files (*.obz)|*.obz||");
    EXPECT_FALSE(ui.dialogs[0].overwritePrompt || ui.dialogs[0].createPrompt);
    EXPECT_EQ(file.modified, 0);
}

TEST_F(ObjExportTest, ExportAllPropsTakesTheActorsPropsLastFirst) {
    ui.fileAnswers = {std::nullopt, dir.File("cube.obj"), std::nullopt};
    ExportAllProps(file, ItemOf({"actor lHand:1"}));
    // ball_1 belongs to lHand:2; cone_1 names lHand:1 in its second "parent" line.
    ASSERT_EQ(ui.dialogs.size(), 3u);
    EXPECT_EQ(ui.dialogs[0].proposedName, "cone_1");
    EXPECT_EQ(ui.dialogs[1].proposedName, "cube_1");
    EXPECT_EQ(ui.dialogs[2].proposedName, "box_1");
    EXPECT_EQ(ReadBytes(dir.File("cube.obj")), "");  // no geomCustom: an empty file
}

TEST_F(ObjExportTest, PropThatCannotBeWrittenIsReported) {
    ui.fileAnswers.push_back(dir.File("missing/out.obj"));
    EXPECT_EQ(ExportProp(file, ItemOf({"prop box_1"}, 1)), 0);
    EXPECT_EQ(ui.log.back(), "message [FileOpenError] Error opening file. (!)");
    EXPECT_EQ(ExportProp(file, ItemOf({"actor lHand:1"})), 0);  // not a prop
}

TEST_F(ObjExportTest, ExportAllMorphTargetsAsksForEachFile) {
    Attach(kObj);
    ui.fileAnswers = {std::nullopt, std::nullopt, std::nullopt};
    ExportAllMorphTargets(file, ItemOf({"actor lHand:1"}));
    ASSERT_EQ(ui.dialogs.size(), 3u);
    EXPECT_EQ(ui.dialogs[0].proposedName, "Smile.obj");
    EXPECT_EQ(ui.dialogs[1].proposedName, "Blank.obj");
    EXPECT_EQ(ui.dialogs[2].proposedName, "a/b:c.obj");
}

// Each group of the characters' own geometry survives an export and a new read.
TEST(ObjExportCorpus, EveryGroupReadsBackWithTheSameCounts) {
    for (const char* name : {"vreng_SL_Female.obj", "vreng_SL_Male.obj"}) {
        std::string path = std::string(TESSARY_CORPUS_DIR) + "/" + name;
        if (!std::filesystem::exists(path)) {
            GTEST_SKIP() << "corpus not present";
        }
        ObjMesh mesh;
        mesh.Parse(ReadBytes(path));
        for (const ObjGroup& group : mesh.groups) {
            ObjMesh again;
            again.Parse(*mesh.WriteGroup(group.name, {}, "today"));
            const ObjGroup* back = again.FindGroup(group.name);
            ASSERT_NE(back, nullptr) << name << " " << group.name;
            EXPECT_EQ(back->vertices.size(), group.vertices.size()) << group.name;
            EXPECT_EQ(back->textureVertices.size(), group.textureVertices.size()) << group.name;
            EXPECT_EQ(back->normals.size(), group.normals.size()) << group.name;
            EXPECT_EQ(back->faces.size(), group.faces.size()) << group.name;
        }
    }
}

// The corpus's female character names its OBJ groups twice ("g TextureGroup_He head"): her
// head's morph targets and her head itself export as whole meshes of the head, 962 faces on
// 911 vertices.
TEST(ObjExportCorpus, TheFemaleHeadExportsWithItsFacesAndVertices) {
    const std::filesystem::path corpus = TESSARY_CORPUS_DIR;
    if (!std::filesystem::exists(corpus / "vreng_SL_Female.cr2") ||
        !std::filesystem::exists(corpus / "vreng_SL_Female.obj")) {
        GTEST_SKIP() << "corpus not present";
    }
    std::string text = ReadBytes((corpus / "vreng_SL_Female.cr2").string());
    // She has no morph targets of her own: two go into the channels of her definitive head.
    const std::size_t head = text.find("actor head:2", text.find("actor head:2") + 1);
    ASSERT_NE(head, std::string::npos);
    const std::size_t channels = text.find("{\n", text.find("channels", head));
    text.insert(channels + 2,
                "targetGeom Wide\n{\nkeys\n{\nk 0 1\n}\nindexes 1\nnumbDeltas 911\n"
                "deltas\n{\nd 0 0.5 0 0\n}\n}\ntargetGeom Still\n{\n}\n");
    test::RecordingUi ui;
    ui.fixedExportTime = 0;
    MemoryProfileStore store;
    FigureFile file{ui, store};
    MemoryTreeControl control;
    FigureTree tree{control, file};
    ParseFileText(text, file.root);
    file.viewKind = kFigureView;
    file.loaded = 1;
    tree.Refresh();
    file.objPath = (corpus / "vreng_SL_Female.obj").string();
    file.objFileName = "vreng_SL_Female.obj";
    ASSERT_EQ(ReadObjFile(file), 1);

    ScratchDir dir;
    ui.fileAnswers = {dir.File("wide.obj"), dir.File("still.obj"), dir.File("head.obj")};
    const Block* headBlock = file.root.FindNthChild("actor head:2", 1, Match::LineKey);
    ASSERT_NE(headBlock, nullptr);
    ASSERT_NE(headBlock->treeItem, 0u);
    ExportAllMorphTargets(file, headBlock->treeItem);
    EXPECT_EQ(ExportMorphTarget(file, headBlock->treeItem), 1);
    for (const char* name : {"wide.obj", "still.obj", "head.obj"}) {
        ObjMesh back;
        back.Parse(ReadBytes(dir.File(name)));
        const ObjGroup* group = back.FindGroup("head");
        ASSERT_NE(group, nullptr) << name;
        EXPECT_EQ(group->faces.size(), 962u) << name;
        EXPECT_EQ(group->vertices.size(), 911u) << name;
    }
    EXPECT_TRUE(ui.Messages().empty());
}

}  // namespace
}  // namespace tessary
