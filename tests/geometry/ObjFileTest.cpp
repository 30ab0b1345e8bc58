#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/RecordingUi.h"
#include "geometry/ObjMesh.h"
#include "headless/MemoryProfileStore.h"
#include "pane/FigureFile.h"
#include "support/Gzip.h"
#include "support/ScratchDir.h"

namespace tessary {

using test::Gzip;
using test::ReadBytes;
using test::ScratchDir;
using test::WriteBytes;
namespace {

class ObjFileTest : public ::testing::Test {
  protected:
    test::RecordingUi ui;
    MemoryProfileStore store;
    FigureFile file{ui, store};
    ScratchDir dir;
};

TEST_F(ObjFileTest, ChooseProposesTheGeometryNameAndAttachesTheFile) {
    WriteBytes(dir.File("body.obj"), "v 0 0 0\nv 1 0 0\nv 0 1 0\ng hip\nf 1 2 3\n");
    file.geometryName = "SL_Female.obj";
    ui.fileAnswers.push_back(dir.File("body.obj"));
    EXPECT_EQ(ChooseObjFile(file), 1);
    ASSERT_EQ(ui.dialogs.size(), 1u);
    EXPECT_EQ(ui.dialogs[0].filter, "Wavefront Obj Files (*.obj;*.obz)|*.obj;*.obz||");
    EXPECT_EQ(ui.dialogs[0].defaultExtension, "obj");
    EXPECT_EQ(ui.dialogs[0].proposedName, "SL_Female.obj");
    EXPECT_FALSE(ui.dialogs[0].overwritePrompt || ui.dialogs[0].fileMustExist);
    EXPECT_EQ(file.objPath, dir.File("body.obj"));
    EXPECT_EQ(file.objFileName, "body.obj");
    EXPECT_EQ(file.geometryName, "body.obj");
    ASSERT_TRUE(file.objMesh);
    EXPECT_EQ(file.objMesh->FindGroup("hip")->faces.size(), 1u);
    EXPECT_EQ(ui.log.front(), "open SL_Female.obj -> " + dir.File("body.obj"));
    EXPECT_EQ(ui.log[1], "wait cursor");
    EXPECT_EQ(ui.log[2], "progress Loading obj mesh...\nPlease Wait. (owned)");
}

TEST_F(ObjFileTest, CancelChangesNothing) {
    file.geometryName = "x.obj";
    ui.fileAnswers.push_back(std::nullopt);
    EXPECT_EQ(ChooseObjFile(file), 0);
    EXPECT_TRUE(file.objPath.empty());
    EXPECT_EQ(file.geometryName, "x.obj");
    EXPECT_FALSE(file.objMesh);
}

TEST_F(ObjFileTest, AFileThatCannotBeOpenedKeepsThePreviousMesh) {
    WriteBytes(dir.File("good.obj"), "v 0 0 0\nf 1 1 1\n");
    file.objPath = dir.File("good.obj");
    file.objFileName = "good.obj";
    ASSERT_EQ(ReadObjFile(file), 1);
    const ObjMesh* before = file.objMesh.get();
    file.objPath = dir.File("missing.obj");
    file.objFileName = "missing.obj";
    EXPECT_EQ(ReadObjFile(file), 0);
    EXPECT_EQ(ui.log.back(), "message [FileOpenError] Error opening obj file. (!)");
    EXPECT_EQ(file.objMesh.get(), before);
    EXPECT_EQ(file.geometryName, "good.obj");
    EXPECT_EQ(file.objFileName, "missing.obj");  // kept as just stored
    // A folder opens on some systems but cannot be read as a file.
    file.objPath = dir.Path().string();
    EXPECT_EQ(ReadObjFile(file), 0);
    EXPECT_EQ(file.objMesh.get(), before);
    // A line that never ends is refused once it passes the limit, instead of filling memory.
    file.objPath = "/dev/zero";
    EXPECT_EQ(ReadObjFile(file), 0);
    EXPECT_EQ(file.objMesh.get(), before);
    EXPECT_EQ(ui.log.back(), "message [FileOpenError] Error opening obj file. (!)");
}

// The file is read in pieces; lines that straddle pieces, a line longer than a piece and a
// last line without a line break must read as they do from one string.
TEST_F(ObjFileTest, ReadingInPiecesMatchesReadingTheWholeText) {
    std::string text = "# " + std::string(9 << 20, 'c') + "\r\n";
    for (int i = 1; i <= 200000; ++i) {
        text += "v " + std::to_string(i) + " 0.5 -1\r\n";
        if (i % 3 == 0) {
            text += "f " + std::to_string(i - 2) + " " + std::to_string(i - 1) + " -1\n";
        }
        if (i % 50000 == 0) {
            text += "g part" + std::to_string(i / 50000) + "\n";
        }
    }
    text += "f 1 2 3";
    WriteBytes(dir.File("big.obj"), text);
    file.objPath = dir.File("big.obj");
    ASSERT_EQ(ReadObjFile(file), 1);
    ObjMesh whole;
    whole.Parse(text);
    const ObjMesh& pieces = *file.objMesh;
    ASSERT_EQ(pieces.groups.size(), whole.groups.size());
    for (std::size_t g = 0; g < whole.groups.size(); ++g) {
        EXPECT_EQ(pieces.groups[g].name, whole.groups[g].name);
        EXPECT_EQ(pieces.groups[g].vertices.size(), whole.groups[g].vertices.size());
        ASSERT_EQ(pieces.groups[g].faces.size(), whole.groups[g].faces.size());
    }
    EXPECT_EQ(pieces.groups.back().faces.size(), 1u);  // "f 1 2 3" without a line break
    // Vertex i has x = i: each group holds a run of consecutive vertices, across the chunks the
    // reader keeps them in.
    for (const ObjGroup& group : pieces.groups) {
        for (std::size_t k = 1; k < group.vertices.size(); ++k) {
            ASSERT_EQ(group.vertices[k].x, group.vertices[k - 1].x + 1) << group.name << k;
        }
    }
    EXPECT_EQ(whole.groups[0].faces.size(), 50000u / 3);
    for (int position : ui.positions) {
        EXPECT_GE(position, 0);
        EXPECT_LE(position, 100);
    }
}

TEST_F(ObjFileTest, CompressedFileAttachesAndABrokenOneKeepsTheMesh) {
    std::string text;
    for (int i = 1; i <= 30000; ++i) {
        text += "v " + std::to_string(i) + " 0 0\n";
    }
    text += "g hip\nf 1 2 3\nf 4 5 6 7\n";
    const std::string packed = Gzip(text);
    WriteBytes(dir.File("body.obz"), packed);
    file.objPath = dir.File("body.obz");
    file.objFileName = "body.obz";
    ASSERT_EQ(ReadObjFile(file), 1);
    ASSERT_TRUE(file.objMesh);
    EXPECT_EQ(file.objMesh->FindGroup("hip")->faces.size(), 2u);
    EXPECT_EQ(file.objMesh->FindGroup("hip")->vertices.size(), 7u);
    EXPECT_EQ(file.geometryName, "body.obz");
    ASSERT_FALSE(ui.positions.empty());
    EXPECT_LE(ui.positions.back(), 100);

    const ObjMesh* before = file.objMesh.get();
    for (const std::string& broken : {packed.substr(0, packed.size() - 3), packed + "x"}) {
        WriteBytes(dir.File("broken.obj"), broken);
        file.objPath = dir.File("broken.obj");
        file.objFileName = "broken.obj";
        EXPECT_EQ(ReadObjFile(file), 0);
        EXPECT_EQ(ui.log.back(), "message [FileOpenError] Error opening obj file. (!)");
        EXPECT_EQ(file.objMesh.get(), before);
        EXPECT_EQ(file.geometryName, "body.obz");
    }
}

struct CorpusCounts {
    const char* name;
    std::size_t faces;
    std::size_t materials;
};

TEST_F(ObjFileTest, CorpusFilesLoad) {
    // The characters' "g" lines name two groups each (a texture group and a body part), so
    // each of their 3912 faces is counted twice.
    const CorpusCounts files[] = {{"vreng_SL_Female.obj", 2 * 3912, 3},
                                  {"vreng_SL_Male.obj", 2 * 3912, 0},
                                  {"vreng_SL_Skirt_mesh_OBJ.obj", 264, 0},
                                  {"vreng_SL_avatar_OBJ.obj", 3912, 0}};
    for (const CorpusCounts& c : files) {
        std::string path = std::string(TESSARY_CORPUS_DIR) + "/" + c.name;
        if (!std::filesystem::exists(path)) {
            GTEST_SKIP() << "corpus not present";
        }
        file.objPath = path;
        file.objFileName = c.name;
        ASSERT_EQ(ReadObjFile(file), 1) << c.name;
        std::size_t faces = 0;
        for (const ObjGroup& group : file.objMesh->groups) {
            faces += group.faces.size();
        }
        EXPECT_EQ(faces, c.faces) << c.name;  // nothing dropped from a sound file
        if (c.materials) {
            EXPECT_EQ(file.objMesh->materialNames.size(), c.materials) << c.name;
        }
        EXPECT_TRUE(ui.Messages().empty()) << c.name;
    }
    EXPECT_NE(file.objMesh->FindGroup("hip"), nullptr);
}

}  // namespace
}  // namespace tessary
