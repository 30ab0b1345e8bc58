#include "geometry/FileCheck.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "geometry/ObjMesh.h"

namespace tessary {
namespace {

// Findings as "LINE kind", in the order reported.
std::vector<std::string> Found(std::string text, const ObjMesh* mesh = nullptr) {
    std::vector<std::string> found;
    for (const CheckFinding& finding : CheckFileText(text, mesh)) {
        found.push_back(std::to_string(finding.line) + " " + finding.kind);
    }
    return found;
}

using Lines = std::vector<std::string>;

TEST(FileCheck, EachFaultIsFoundOnItsLine) {
    const struct {
        const char* fault;
        std::string text;
        Lines expected;
    } cases[] = {
        {"clean", "{\nactor BODY:1\n{\nchannels\n{\n}\n}\n}\n", {}},
        {"text before the first brace", "header\n{\n}\n", {"1 dropped-text"}},
        {"no brace at all", "hello\n", {"0 dropped-text", "1 dropped-text"}},
        {"empty file", "", {"0 dropped-text"}},
        {"text after the outermost block", "{\na 1\n}\nafter\n\nmore\n", {"4 dropped-text"}},
        {"a NUL byte", std::string("{\na 1\0b\n}\n", 10), {"1 unclosed-block", "2 dropped-text"}},
        {"a NUL byte at the very end is harmless", std::string("{\n}\n\0", 5), {}},
        {"unclosed blocks",
         "{\nactor BODY:1\n{\nname BODY\n",
         {"1 unclosed-block", "3 unclosed-block"}},
        {"text beside a brace", "{\nactor x:1\n{ junk\n}\n}\n", {"3 dropped-text"}},
        {"a name holding a brace", "{\nactor a{b\n}\n}\n", {"2 name-character"}},
        {"a name holding a bar", "{\nactor a|b\n{\n}\n}\n", {"2 name-character"}},
        {"nonzero storageOffset, CR LF", "{\r\nstorageOffset 1 0 0\r\n}\r\n", {"2 storage-offset"}},
        {"nonzero storageOffset, lone CR",
         "{\rstorageOffset 0 0 0\rstorageOffset 0 0 -1\r}\r",
         {"3 storage-offset"}},
        {"blank lines are counted",
         "{\n\n\r\n \t\nstorageOffset 0 0 0\nstorageOffset 0 2 0\n}",
         {"6 storage-offset"}},
        {"an actor defined twice",
         "{\nactor BODY:1\n{\nstorageOffset 0 0 0\n}\nactor BODY:1\n{\nchannels\n{\n}\n}\n"
         "actor BODY:1\n{\nchannels\n{\n}\n}\n}\n",
         {"12 duplicate-name"}},
        {"a second block after the same line is no duplicate", "{\nactor x:1\n{\n}\n{\n}\n}\n", {}},
        {"figure numbers that disagree",
         "{\nactor BODY:1\n{\n}\nactor lHand:2\n{\nparent BODY:1\n}\nfigure\n{\nroot BODY:1\n"
         "addChild lHand:1 BODY:3\n}\n}\n",
         {"5 figure-number", "12 figure-number"}},
        {"indexes and numbDeltas against the d lines",
         "{\nactor head:1\n{\nchannels\n{\ntargetGeom Smile\n{\nindexes 3\nnumbDeltas 4\n"
         "deltas\n{\nd 0 1 0 0\nd 4 1 0 0\n}\n}\n}\n}\n}\n",
         {"8 delta-count", "13 delta-count"}},
        {"a negative vertex",
         "{\nactor head:1\n{\ntargetGeom S\n{\nindexes 1\nnumbDeltas 4\ndeltas\n{\nd -2 1 0 0\n"
         "}\n}\n}\n}\n",
         {"10 delta-count"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Found(c.text), c.expected) << c.fault;
    }
}

TEST(FileCheck, NestingThatLoadingRefusesStopsTheCheck) {
    std::string text(1001 * 2, '\n');
    for (std::size_t i = 0; i < text.size(); i += 2) {
        text[i] = '{';
    }
    EXPECT_EQ(Found(text), Lines{"1001 too-deep"});
}

TEST(FileCheck, TheObjFileBringsDeltaAndMaterialChecks) {
    ObjMesh mesh;
    mesh.Parse("v 0 0 0\nv 1 0 0\nv 0 1 0\ng head\nusemtl skin\nusemtl eyes\nf 1 2 3\n");
    const std::string figure =
        "{\n"
        "actor head:1\n"  // 2
        "{\n"
        "targetGeom Smile\n"  // 4
        "{\n"
        "indexes 2\nnumbDeltas 3\ndeltas\n{\nd 0 1 0 0\n"  // 10
        "d 3 1 0 0\n"                                      // 11: the group has 3 vertices
        "}\n}\n}\n"
        "figure\n"  // 15
        "{\n"
        "material Preview\n"     // 17
        "material skin\n"        // 18
        "material hair\n"        // 19
        "presetMaterial hair\n"  // 20
        "}\n}\n";
    EXPECT_EQ(Found(figure, &mesh), (Lines{"11 delta-count", "11 delta-beyond-mesh", "15 material",
                                           "19 material", "20 material"}));
    // Without the OBJ file only what the file says about itself is reported.
    EXPECT_EQ(Found(figure), Lines{"11 delta-count"});
}

}  // namespace
}  // namespace tessary
