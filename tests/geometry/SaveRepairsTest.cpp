#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "support/RecordingUi.h"
#include "geometry/MaterialList.h"
#include "geometry/ObjMesh.h"
#include "geometry/StorageOffsets.h"
#include "headless/MemoryProfileStore.h"
#include "model/ModelTestUtil.h"
#include "pane/FigureFile.h"

namespace tessary {
namespace {

using testing::Dump;
using testing::Parse;

class SaveRepairsTest : public ::testing::Test {
  protected:
    test::RecordingUi ui;
    MemoryProfileStore store;
    FigureFile file{ui, store};

    // Attaches an OBJ mesh whose faces use `materials` in that order; none: no OBJ file.
    void Attach(const std::optional<std::vector<std::string>>& materials) {
        file.objMesh.reset();
        if (!materials) {
            return;
        }
        std::string text = "v 0 0 0\n";
        for (const std::string& name : *materials) {
            text += "usemtl " + name + "\nf 1 1 1\n";
        }
        file.objMesh.reset(new ObjMesh);
        file.objMesh->Parse(text);
    }
};

TEST_F(SaveRepairsTest, StorageOffsetsAreResetAtAnyDepthKeepingASuffix) {
    file.root = Parse(
        "{\nactor BODY:1\n{\nstorageOffset 0.0123 -0.5 0\nsetGeomHandlerOffset 0 0.1 0\n}\n"
        "prop hat_1\n{\nchannels\n{\nx\n{\nstorageOffset 1 2 3\n}\n}\n}\n"
        "storageOffset\nStorageOffset 1 2 3\nstorageOffsets 1 2 3\nstorageOffset 4 5 6:2\n"
        "setGeomHandlerOffset 7 8 9:\n}\n");
    RepairStorageOffsets(file);
    EXPECT_EQ(Dump(file.root),
              "{\nactor BODY:1\n    {\n    storageOffset 0 0 0\n    setGeomHandlerOffset 0 0 0\n"
              "    }\nprop hat_1\n    {\n    channels\n        {\n        x\n            {\n"
              "            storageOffset 0 0 0\n            }\n        }\n    }\n"
              "storageOffset 0 0 0\nStorageOffset 1 2 3\nstorageOffsets 1 2 3\n"
              "storageOffset 0 0 0:2\nsetGeomHandlerOffset 0 0 0\n}\n");
    EXPECT_EQ(file.modified, 0);
}

// A figure's material lines, an OBJ file's materials, the repairs that run and the figure's
// direct children afterwards as "tag data" lines.
struct MaterialCase {
    const char* fault;
    const char* figure;  // the lines inside the first "figure" block
    std::optional<std::vector<std::string>> objMaterials;
    bool remove;
    bool add;
    std::string expected;
};

TEST_F(SaveRepairsTest, MaterialListFollowsTheObjFile) {
    using Names = std::vector<std::string>;
    const std::string longName(100, 'm');
    const MaterialCase cases[] = {
        {"Preview stays though unused; other tags stay",
         "material Preview\nmaterial Skin\n"
         "Material Old\npresetMaterial Preview\npresetMaterial Old\nname Fig\n",
         Names{"Skin"}, true, false,
         "material Preview|material Skin|Material Old|presetMaterial Preview|name Fig"},
        {"an OBJ file without materials keeps only Preview",
         "material Preview\nmaterial Skin\npresetMaterial Skin\n", Names{}, true, true,
         "material Preview"},
        {"names compare with letter case: Skin goes, skin comes",
         "material Preview\nmaterial Skin\npresetMaterial Preview\npresetMaterial Skin\n",
         Names{"skin"}, true, true,
         "material Preview|material skin|presetMaterial Preview|presetMaterial skin"},
        {"adding alone puts skin next to Skin", "material Skin\npresetMaterial Skin\n",
         Names{"skin"}, false, true,
         "material Skin|material skin|presetMaterial Skin|presetMaterial skin"},
        {"new blocks go after the first of their tag, last added first",
         "material Preview\nmaterial skin\npresetMaterial Preview\npresetMaterial skin\n",
         Names{"skin", "hair", "eyes"}, true, true,
         "material Preview|material eyes|material hair|material skin|presetMaterial Preview|"
         "presetMaterial eyes|presetMaterial hair|presetMaterial skin"},
        {"only material children: no presetMaterial added", "name F\nmaterial a\n", Names{"a", "b"},
         false, true, "name F|material a|material b"},
        {"only presetMaterial children: a presetMaterial does not list a material",
         "presetMaterial a\nname F\n", Names{"a"}, false, true,
         "presetMaterial a|presetMaterial a|name F"},
        {"a name longer than 79 characters is kept whole", "material Preview\n", Names{longName},
         true, true, "material Preview|material " + longName},
        {"no OBJ file: nothing changes", "material Preview\nmaterial Skin\n", std::nullopt, true,
         true, "material Preview|material Skin"},
    };
    for (const MaterialCase& c : cases) {
        file.root = Parse(std::string("{\nactor BODY:1\n{\nmaterial Gone\n}\nfigure\n{\n") +
                          c.figure + "}\nfigure\n{\nmaterial Second\n}\n}\n");
        Attach(c.objMaterials);
        if (c.remove) {
            RemoveUnusedMaterials(file);
        }
        if (c.add) {
            AddMissingMaterials(file);
        }
        std::string lines;
        for (const Block& child : file.root.children[1].children) {
            lines += (lines.empty() ? "" : "|") + child.LineKey();
        }
        EXPECT_EQ(lines, c.expected) << c.fault;
        // Only the first top-level figure block is looked at.
        EXPECT_EQ(file.root.children[0].children[0].data, "Gone") << c.fault;
        EXPECT_EQ(file.root.children[2].children[0].data, "Second") << c.fault;
    }
}

TEST_F(SaveRepairsTest, AFileWithoutAFigureBlockIsLeftAlone) {
    file.root = Parse("{\nactor BODY:1\n{\nmaterial x\n}\n}\n");
    Attach(std::vector<std::string>{"a"});
    const std::string before = Dump(file.root);
    RemoveUnusedMaterials(file);
    AddMissingMaterials(file);
    EXPECT_EQ(Dump(file.root), before);
}

}  // namespace
}  // namespace tessary
