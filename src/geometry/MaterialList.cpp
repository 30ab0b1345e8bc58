#include "geometry/MaterialList.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <unordered_set>
#include <utility>

#include "geometry/ObjMesh.h"
#include "model/Block.h"
#include "pane/FigureFile.h"

namespace tessary {

namespace {

constexpr std::string_view kMaterial = "material";
constexpr std::string_view kPresetMaterial = "presetMaterial";

struct Line {
    std::string_view tag;
    std::string_view data;
};

constexpr std::array<Line, 18> kDefaultMaterialLines = {{
    {"KdColor", "1 1 1 1"},
    {"KaColor", "0 0 0 1"},
    {"KsColor", "1 1 1 1"},
    {"TextureColor", "1 1 1 1"},
    {"NsExponent", "30"},
    {"tMin", "0"},
    {"tMax", "0"},
    {"tExpo", "0.6"},
    {"bumpStrength", "1"},
    {"ksIgnoreTexture", "0"},
    {"reflectThruLights", "1"},
    {"reflectThruKd", "0"},
    {"textureMap", "NO_MAP"},
    {"bumpMap", "NO_MAP"},
    {"reflectionMap", "NO_MAP"},
    {"transparencyMap", "NO_MAP"},
    {"ReflectionColor", "1 1 1 1"},
    {"reflectionStrength", "0"},
}};

bool IsMaterialEntry(const Block& child) {
    return child.tag == kMaterial || child.tag == kPresetMaterial;
}

// The figure block of the pane's file, when there is one and an OBJ file is attached.
Block* FigureWithMesh(FigureFile& file) {
    if (!file.objMesh) {
        return nullptr;
    }
    return file.root.FindNthChild("figure", 0, Match::Tag);
}

// The material block added for a material the list lacks: white, no maps.
Block DefaultMaterialBlock(std::string_view name) {
    Block material;
    material.tag = kMaterial;
    material.data = name;
    material.hasBlock = 1;
    material.children.reserve(kDefaultMaterialLines.size());
    for (const Line& line : kDefaultMaterialLines) {
        Block& child = material.children.emplace_back();
        child.tag = line.tag;
        child.data = line.data;
    }
    return material;
}

bool RemoveUnused(Block& figure, const std::vector<std::string>& materialNames) {
    // A set rather than a scan of the names per child: an OBJ file may name thousands of
    // materials. Removing them all in one pass gives what removing them one at a time from the
    // last child to the first would.
    const std::unordered_set<std::string_view> used(materialNames.begin(), materialNames.end());
    const auto unused = [&used](const Block& child) {
        return IsMaterialEntry(child) && child.data != "Preview" && !used.contains(child.data);
    };
    std::size_t unusedCount = 0;
    for (const Block& child : figure.children) {
        unusedCount += unused(child) ? 1 : 0;
    }
    if (unusedCount == 0) {
        return false;
    }
    ChildList kept;
    kept.reserve(figure.children.size() - unusedCount);
    for (Block& child : figure.children) {
        if (!unused(child)) {
            kept.push_back(std::move(child));
        }
    }
    // The removed blocks are freed with the old array, each by its own destructor.
    std::swap(figure.children, kept);
    return true;
}

bool AddMissing(Block& figure, const std::vector<std::string>& materialNames) {
    const int firstMaterial = figure.FindChildIndex(kMaterial);
    const int firstPreset = figure.FindChildIndex(kPresetMaterial);
    std::unordered_set<std::string_view> listed;
    for (const Block& child : figure.children) {
        if (child.tag == kMaterial) {
            listed.insert(child.data);
        }
    }
    // Each new block would go directly after the same first "material" (or "presetMaterial")
    // child, which stays the first of its tag; so the new blocks are gathered and then placed,
    // newest first, in one pass.
    std::vector<std::string_view> added;
    for (const std::string& name : materialNames) {
        if (listed.contains(name)) {
            continue;
        }
        added.push_back(name);
        if (firstMaterial >= 0) {
            listed.insert(name);
        }
    }
    if (added.empty() || (firstMaterial < 0 && firstPreset < 0)) {
        return false;
    }
    // Everything that allocates happens before the figure's children are moved, so that
    // running out of memory leaves them as they were.
    const auto newBlocks = [&added](bool wanted, std::string_view tag) {
        std::vector<Block> blocks;
        if (wanted) {
            blocks.reserve(added.size());
            for (auto name = added.rbegin(); name != added.rend(); ++name) {
                blocks.push_back(DefaultMaterialBlock(*name));
                blocks.back().tag = tag;
            }
        }
        return blocks;
    };
    std::vector<Block> materials = newBlocks(firstMaterial >= 0, kMaterial);
    std::vector<Block> presets = newBlocks(firstPreset >= 0, kPresetMaterial);
    ChildList children;
    children.reserve(figure.children.size() + materials.size() + presets.size());
    for (std::size_t i = 0; i < figure.children.size(); ++i) {
        children.push_back(std::move(figure.children[i]));
        if (static_cast<int>(i) == firstMaterial) {
            std::move(materials.begin(), materials.end(), std::back_inserter(children));
        }
        if (static_cast<int>(i) == firstPreset) {
            std::move(presets.begin(), presets.end(), std::back_inserter(children));
        }
    }
    std::swap(figure.children, children);
    return true;
}

}  // namespace

bool RemoveUnusedMaterials(FigureFile& file) {
    Block* figure = FigureWithMesh(file);
    return figure != nullptr && RemoveUnused(*figure, file.objMesh->materialNames);
}

bool AddMissingMaterials(FigureFile& file) {
    Block* figure = FigureWithMesh(file);
    return figure != nullptr && AddMissing(*figure, file.objMesh->materialNames);
}

}  // namespace tessary
