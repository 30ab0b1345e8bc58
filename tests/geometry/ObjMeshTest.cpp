#include "geometry/ObjMesh.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "support/RecordingUi.h"
#include "model/NumberText.h"

namespace tessary {
namespace {

ObjMesh Read(const std::string& text) {
    ObjMesh mesh;
    mesh.Parse(text);
    return mesh;
}

std::string Index(std::int32_t index) {
    return index == kAbsentIndex ? "-" : std::to_string(index);
}

// "0/0/- 2/1/- 1/2/- ." : 0-based vertex/texture/normal per corner, "." for an empty corner.
std::string Faces(const ObjGroup& group) {
    std::string text;
    for (const ObjFace& face : group.faces) {
        if (!text.empty()) {
            text += " | ";
        }
        for (std::size_t i = 0; i < face.corners.size(); ++i) {
            const ObjCorner& c = face.corners[i];
            text += i ? " " : "";
            text += c.IsEmpty() ? "."
                                : Index(c.vertexIndex) + "/" + Index(c.textureIndex) + "/" +
                                      Index(c.normalIndex);
        }
    }
    return text;
}

std::string Xs(const ObjGroup& group) {
    std::string text;
    for (const ObjPoint& p : group.vertices) {
        text += (text.empty() ? "" : " ") + std::to_string(static_cast<int>(p.x));
    }
    return text;
}

// Vertex n of the file has x = n, so a group's vertex list shows which file vertices it holds.
std::string NumberedVertices(int count) {
    std::string text;
    for (int i = 1; i <= count; ++i) {
        text += "v " + std::to_string(i) + " 0 0\n";
    }
    return text;
}

TEST(ObjMesh, GroupsStartWithDefaultAndReopenIgnoringCase) {
    ObjMesh mesh = Read(NumberedVertices(4) +
                        "g hip\nf 1 2 3\nG Hip\nf 2 3 4\ng\nf 1 3 4\ng chest abdomen\nf 1 2 4\n"
                        "g HIP chest hip\nf 4 3 2\n");
    ASSERT_EQ(mesh.groups.size(), 4u);
    EXPECT_EQ(mesh.groups[0].name, "default");
    EXPECT_TRUE(mesh.groups[0].faces.empty());
    EXPECT_EQ(mesh.groups[1].name, "hip");  // keeps the name it was first given
    // "g" without a name changes nothing; a name given twice takes the face once.
    EXPECT_EQ(mesh.groups[1].faces.size(), 4u);
    // Every name of a "g" statement gets the faces that follow.
    EXPECT_EQ(mesh.groups[2].name, "chest");
    EXPECT_EQ(Faces(mesh.groups[2]), "0/-/- 1/-/- 3/-/- . | 3/-/- 2/-/- 1/-/- .");
    EXPECT_EQ(Xs(mesh.groups[2]), "1 2 3 4");
    EXPECT_EQ(mesh.FindGroup("Abdomen"), &mesh.groups[3]);
    EXPECT_EQ(mesh.groups[3].faces.size(), 1u);
    EXPECT_EQ(mesh.FindGroup("HIP"), &mesh.groups[1]);

    // A statement takes its first eight names only.
    ObjMesh many = Read(NumberedVertices(3) + "g a b c d e f g h i j\nf 1 2 3\n");
    ASSERT_EQ(many.groups.size(), 9u);
    EXPECT_EQ(many.groups[8].name, "h");
    EXPECT_EQ(many.groups[8].faces.size(), 1u);
}

TEST(ObjMesh, ANulEndsItsLine) {
    // Without the NUL rule the first line would be the point (1, 2, 3), and the face would
    // name vertex 9, which the file lacks, and be dropped.
    const char text[] = "v 1 2\0 3\nv 2 0 0\0junk\ng hip\0 chest\nf 1 2 2\0 9\n";
    ObjMesh mesh = Read(std::string(text, sizeof text - 1));
    ASSERT_EQ(mesh.groups.size(), 2u);
    const ObjGroup& hip = mesh.groups[1];
    ASSERT_EQ(Xs(hip), "1 2");
    EXPECT_EQ(hip.vertices[0].z, 0.0);
    EXPECT_EQ(Faces(hip), "0/-/- 1/-/- 1/-/- .");
}

TEST(ObjMesh, AdjustingGivesEachGroupItsOwnSortedLists) {
    ObjMesh mesh = Read(NumberedVertices(9) + "vt 0 0\nvt 0 1\nvt 0.5 0.25 0\nvt 1 1\nvt 1 0\n" +
                        "g hip\nf 7/3 9/4 8/5\ng chest\nf 1 9 2\n");
    const ObjGroup& hip = *mesh.FindGroup("hip");
    EXPECT_EQ(Faces(hip), "0/0/- 2/1/- 1/2/- .");
    EXPECT_EQ(Xs(hip), "7 8 9");
    ASSERT_EQ(hip.textureVertices.size(), 3u);
    EXPECT_FLOAT_EQ(hip.textureVertices[0].u, 0.5f);  // "vt 0.5 0.25 0": the third is ignored
    EXPECT_FLOAT_EQ(hip.textureVertices[0].v, 0.25f);
    EXPECT_TRUE(hip.normals.empty());
    // A vertex shared by two groups is copied into both.
    const ObjGroup& chest = *mesh.FindGroup("chest");
    EXPECT_EQ(Xs(chest), "1 2 9");
    EXPECT_EQ(Faces(chest), "0/-/- 2/-/- 1/-/- .");
}

TEST(ObjMesh, FaceCornerForms) {
    struct Case {
        const char* face;
        const char* expected;
    } cases[] = {
        {"f 1 2 3 4 5", "0/-/- 1/-/- 2/-/- 3/-/-"},  // more than four corners: the first four
        {"f 1 2 3", "0/-/- 1/-/- 2/-/- ."},
        {"f 1/1/1 2/2/2 3/3/3", "0/0/0 1/1/1 2/2/2 ."},
        {"f 1//2 2//1 3//3", "0/-/1 1/-/0 2/-/2 ."},
        {"f 1/ 2/ 3/", "0/-/- 1/-/- 2/-/- ."},
        {"f\t1\t2 \t 3", "0/-/- 1/-/- 2/-/- ."},                  // tabs separate like blanks
        {"f -3/-3/-1 -2/-2/-2 -1/-1/-3", "0/0/2 1/1/1 2/2/0 ."},  // relative numbers
        {"f 1/0 2/9 3/2", "0/-/- 1/-/- 2/0/- ."},      // texture 0 or beyond the list: absent
        {"f 1//0 2//-9 3//4", "0/-/- 1/-/- 2/-/- ."},  // likewise normals
        {"f", ". . . ."},
    };
    for (const Case& c : cases) {
        ObjMesh mesh = Read(NumberedVertices(5) + "vt 0 0\nvt 1 0\nvt 1 1\nvn 0 0 1\nvn 0 1 0\n" +
                            "vn 1 0 0\n" + c.face + "\n");
        EXPECT_EQ(Faces(mesh.groups[0]), c.expected) << c.face;
    }
}

TEST(ObjMesh, DropsFacesNamingVerticesThatDoNotExist) {
    // A fourth vertex follows the faces, so "-0" or "-" must not be taken as "one past the
    // vertices read so far".
    const char* faces[] = {"f 0 1 2",
                           "f 1 2 5",
                           "f -0 1 2",
                           "f - 1 2",
                           "f 1 2 -4",
                           "f /1 2 3",
                           "f x 2 3",
                           "f 99999999999999999999 1 2",
                           "f -99999999999999999999 1 2"};
    for (const char* face : faces) {
        ObjMesh mesh = Read(NumberedVertices(3) + "vt 0 0\n" + face + "\nf 1 2 3\nv 4 0 0\n");
        ASSERT_EQ(mesh.groups[0].faces.size(), 1u) << face;
        EXPECT_EQ(Faces(mesh.groups[0]), "0/-/- 1/-/- 2/-/- .") << face;
    }
}

TEST(ObjMesh, RelativeNumbersCountFromTheEntriesReadSoFar) {
    ObjMesh mesh = Read(NumberedVertices(3) + "g a\nf -3 -2 -1\n" + "v 4 0 0\nv 5 0 0\n" +
                        "g b\nf -3 -2 -1\n");
    EXPECT_EQ(Xs(*mesh.FindGroup("a")), "1 2 3");
    EXPECT_EQ(Xs(*mesh.FindGroup("b")), "3 4 5");
}

TEST(ObjMesh, SparseAndUnorderedNumbersComeOutAscending) {
    ObjMesh mesh = Read(NumberedVertices(5000) + "f 4999 3 2500 1\nf 1 5000 3\n");
    EXPECT_EQ(Xs(mesh.groups[0]), "1 3 2500 4999 5000");
    EXPECT_EQ(Faces(mesh.groups[0]), "3/-/- 1/-/- 2/-/- 0/-/- | 0/-/- 4/-/- 1/-/- .");
}

TEST(ObjMesh, MaterialNamesAreUniqueIgnoringCase) {
    ObjMesh mesh = Read("usemtl skin\nusemtl Lips\nUSEMTL Skin\nusemtl\nusemtl lips extra\n");
    EXPECT_EQ(mesh.materialNames, (std::vector<std::string>{"skin", "Lips"}));
}

TEST(ObjMesh, LineEndsAndLongLines) {
    std::string lf = NumberedVertices(4) + "vt 0.5 0.5\ng hip\nusemtl skin\nf 1/1 2/1 3/1 4/1\n";
    std::string crlf;
    for (char c : lf) {
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    }
    std::string cr = lf;
    for (char& c : cr) {
        c = c == '\n' ? '\r' : c;
    }
    for (const std::string& text : {crlf, cr}) {
        ObjMesh mesh = Read(text);
        ASSERT_EQ(mesh.groups.size(), 2u);
        EXPECT_EQ(Faces(mesh.groups[1]), Faces(Read(lf).groups[1]));
        EXPECT_EQ(Xs(mesh.groups[1]), "1 2 3 4");
        EXPECT_EQ(mesh.materialNames.size(), 1u);
    }
    // The last line counts even without a line break after it.
    EXPECT_EQ(Read(NumberedVertices(3) + "f 1 2 3").groups[0].faces.size(), 1u);
    // Long names keep every character; a long line is read whole.
    std::string name(300, 'n');
    ObjMesh mesh = Read(NumberedVertices(3) + "g " + name + "\nusemtl " + name + "\nf 1 2 3" +
                        std::string(500, ' ') + "\n");
    EXPECT_EQ(mesh.groups[1].name, name);
    EXPECT_EQ(mesh.materialNames[0], name);
    EXPECT_EQ(mesh.groups[1].faces.size(), 1u);
}

TEST(ObjMesh, ShortOrOddStatements) {
    ObjMesh mesh = Read(
        "v 1 2\nv\t4\t5\t6\nV 7 8 9 1\nvn 1\nvt\n# v 0 0 0\n  \nvertex 1 2 3\no thing\n"
        "s 1\nmtllib a.mtl\nf 1 2 3\nf 1//1 2/1 3\n");
    const ObjGroup& group = mesh.groups[0];
    ASSERT_EQ(group.vertices.size(), 3u);  // short statements still take their number
    EXPECT_DOUBLE_EQ(group.vertices[0].z, 0);
    EXPECT_DOUBLE_EQ(group.vertices[1].x, 4);
    EXPECT_DOUBLE_EQ(group.vertices[2].z, 9);
    ASSERT_EQ(group.normals.size(), 1u);
    EXPECT_FLOAT_EQ(group.normals[0].x, 1);
    ASSERT_EQ(group.textureVertices.size(), 1u);
    EXPECT_EQ(Faces(mesh.groups[0]), "0/-/- 1/-/- 2/-/- . | 0/-/0 1/0/- 2/-/- .");
}

TEST(ObjMesh, ShowsProgressWhileParsing) {
    test::RecordingUi ui;
    ObjMesh mesh;
    mesh.Parse(NumberedVertices(3) + "g a\nf 1 2 3\ng b\nf 1 2 3\n", &ui);
    EXPECT_EQ(ui.log, (std::vector<std::string>{
                          "progress Loading obj mesh...\nPlease Wait. (owned)",
                          "text Adjusting faces...\nPlease Wait.", "close progress"}));
    ASSERT_FALSE(ui.positions.empty());
    EXPECT_EQ(ui.positions.front(), 0);
    for (int position : ui.positions) {
        EXPECT_GE(position, 0);
        EXPECT_LE(position, 100);
    }
}

// Coordinates take a shortcut for plain decimals; every form must still read, bit for bit, as
// ReadLeadingDouble reads the token.
TEST(ObjMesh, CoordinatesReadAsTheGeneralNumberReader) {
    std::vector<std::string> tokens = {"0.050000",
                                       "-0.000000",
                                       "0",
                                       "-0",
                                       "+3",
                                       "007.250",
                                       "1.",
                                       "-1.",
                                       ".5",
                                       "-.5",
                                       "+.5",
                                       "123456789012345",
                                       "1234567890123456",
                                       "12345678901234567890",
                                       "0.123456789012345",
                                       "0.1234567890123456",
                                       "99999999999999.9",
                                       "1.5e-3",
                                       "4.071571e-03",
                                       "1e",
                                       "1e+",
                                       "0x1p3",
                                       "inf",
                                       "-nan",
                                       "1.5x",
                                       "1.2.3",
                                       "-",
                                       "+",
                                       "--1",
                                       "x",
                                       "1/2",
                                       "9e999",
                                       "1e-999"};
    std::mt19937_64 random(5);
    for (int i = 0; i < 2000; ++i) {  // the generator's form, with up to fifteen digits
        std::uniform_int_distribution<int> digits(1, 9);
        std::string token = random() % 2 ? "-" : "";
        int whole = digits(random) % 6;
        token += std::to_string(random() % 1000000).substr(0, static_cast<std::size_t>(whole + 1));
        token += "." + std::to_string(random()).substr(0, static_cast<std::size_t>(digits(random)));
        tokens.push_back(token);
    }
    std::string text;
    for (const std::string& token : tokens) {
        text += "v " + token + "\t" + token + "  " + token + "\nvt " + token + " " + token +
                "\nvn " + token + " " + token + " " + token + "\n";
    }
    text += "f";
    for (std::size_t i = 1; i <= tokens.size(); ++i) {
        text += " " + std::to_string(i) + "/" + std::to_string(i) + "/" + std::to_string(i);
        if (i % 4 == 0 && i < tokens.size()) {
            text += "\nf";
        }
    }
    ObjMesh mesh = Read(text + "\n");
    const ObjGroup& group = mesh.groups[0];
    ASSERT_EQ(group.vertices.size(), tokens.size());
    ASSERT_EQ(group.textureVertices.size(), tokens.size());
    ASSERT_EQ(group.normals.size(), tokens.size());
    auto same = [](auto a, auto b) { return std::memcmp(&a, &b, sizeof a) == 0; };
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const double expected = ReadLeadingDouble(tokens[i]);
        const float expectedFloat = static_cast<float>(expected);
        EXPECT_TRUE(same(group.vertices[i].x, expected)) << tokens[i];
        EXPECT_TRUE(same(group.vertices[i].y, expected)) << tokens[i];
        EXPECT_TRUE(same(group.vertices[i].z, expected)) << tokens[i];
        EXPECT_TRUE(same(group.textureVertices[i].v, expectedFloat)) << tokens[i];
        EXPECT_TRUE(same(group.normals[i].z, expectedFloat)) << tokens[i];
    }
}

// Groups that come back later in the file, over enough faces that they span the reader's
// chunks: every group keeps its faces in the order of the file.
TEST(ObjMesh, GroupsThatReturnKeepTheirFacesInFileOrder) {
    const int kFaces = 120000;
    std::string text = NumberedVertices(3);
    for (int k = 0; k < kFaces; ++k) {
        text += "vt " + std::to_string(k) + " 0\n";
    }
    std::mt19937 random(3);
    const char* names[] = {"a", "B", "c"};
    std::vector<int> expected[3];
    int group = -1;
    for (int k = 0; k < kFaces; ++k) {
        if (k == 0 || random() % 50 == 0) {
            group = static_cast<int>(random() % 3);
            text += std::string("g ") + names[group] + "\n";
        }
        expected[group].push_back(k);
        std::string vt = std::to_string(k + 1);
        text += "f 1/" + vt + " 2/" + vt + " 3/" + vt + "\n";
    }
    ObjMesh mesh = Read(text);
    for (int g = 0; g < 3; ++g) {
        const ObjGroup& read = *mesh.FindGroup(names[g]);
        ASSERT_EQ(read.faces.size(), expected[g].size()) << names[g];
        for (std::size_t f = 0; f < read.faces.size(); ++f) {
            const ObjCorner& corner = read.faces[f].corners[1];
            ASSERT_EQ(corner.vertexIndex, 1);
            ASSERT_EQ(read.textureVertices[static_cast<std::size_t>(corner.textureIndex)].u,
                      static_cast<float>(expected[g][f]))
                << names[g] << " face " << f;
        }
    }
}

// The reader gives back the parts of the mesh-wide lists that no group still to be built
// needs; groups that name entries out of order, before they are read, or again after a
// later group must still find them all.
TEST(ObjMesh, GroupsNamingEntriesInAnyOrderFindThemAll) {
    std::string text = "g early\nf 190000 190001 190002/1\n";  // before any "v"
    text += NumberedVertices(200000) + "vt 0.5 0\n";
    text += "g high\nf 150000 150001 150002\n";
    text += "g low\nf 1 2 3\n";
    text += "g spread\nf 100000 100001 199999\n";
    text += "g relative\nf -1 -2 -3/-1\n";
    text += "g HIGH\nf 2 150003 5\n";  // "high" again, after lower groups
    ObjMesh mesh = Read(text);
    struct Case {
        const char* group;
        const char* xs;
    } cases[] = {
        {"early", "190000 190001 190002"},
        {"high", "2 5 150000 150001 150002 150003"},
        {"low", "1 2 3"},
        {"spread", "100000 100001 199999"},
        {"relative", "199998 199999 200000"},
    };
    for (const Case& c : cases) {
        const ObjGroup* group = mesh.FindGroup(c.group);
        ASSERT_NE(group, nullptr) << c.group;
        EXPECT_EQ(Xs(*group), c.xs) << c.group;
    }
    EXPECT_EQ(mesh.FindGroup("early")->textureVertices.size(), 1u);
    EXPECT_EQ(mesh.FindGroup("relative")->textureVertices.size(), 1u);
}

// A reader used again after Finish starts from the adjusted groups, as a fresh reader over the
// same mesh would, instead of reaching into the lists it gave back.
TEST(ObjMesh, ReadingOnAfterFinishingStartsAfresh) {
    ObjMesh mesh;
    ObjReader reader(mesh);
    reader.ReadLines(NumberedVertices(3) + "g a\nf 1 2 3\n");
    reader.Finish(nullptr);
    reader.ReadLines(NumberedVertices(4) + "g b\nf 4 3 2\ng a\nf 1 2 3\n");
    reader.Finish(nullptr);
    ObjMesh fresh;
    {
        ObjReader first(fresh);
        first.ReadLines(NumberedVertices(3) + "g a\nf 1 2 3\n");
        first.Finish(nullptr);
    }
    ObjReader second(fresh);
    second.ReadLines(NumberedVertices(4) + "g b\nf 4 3 2\ng a\nf 1 2 3\n");
    second.Finish(nullptr);
    ASSERT_EQ(mesh.groups.size(), fresh.groups.size());
    for (std::size_t g = 0; g < mesh.groups.size(); ++g) {
        EXPECT_EQ(Faces(mesh.groups[g]), Faces(fresh.groups[g])) << mesh.groups[g].name;
        EXPECT_EQ(Xs(mesh.groups[g]), Xs(fresh.groups[g])) << mesh.groups[g].name;
    }
    EXPECT_EQ(Faces(*mesh.FindGroup("b")), "2/-/- 1/-/- 0/-/- .");
}

// Random OBJ-like text: statements, numbers, separators and line ends in any order.
TEST(ObjMesh, HostileTextNeverCrashes) {
    const char* pieces[] = {"v",           "vt",  "vn",  "f",  "g",  "usemtl", "#",
                            " ",           "\t",  "\n",  "\r", "/",  "//",     "-1",
                            "0",           "1",   "2",   "-7", "1e", "x",      "9999999999",
                            "-2147483648", "1.5", "nan", "G"};
    std::mt19937 random(7);
    std::uniform_int_distribution<std::size_t> pick(0, std::size(pieces) - 1);
    for (int round = 0; round < 300; ++round) {
        std::string text;
        for (int i = 0; i < 400; ++i) {
            text += pieces[pick(random)];
            text += (i % 3) ? " " : "";
        }
        ObjMesh mesh = Read(text);
        for (const ObjGroup& group : mesh.groups) {
            for (const ObjFace& face : group.faces) {
                for (const ObjCorner& corner : face.corners) {
                    if (corner.vertexIndex != kAbsentIndex) {
                        ASSERT_GE(corner.vertexIndex, 0);
                        ASSERT_LT(static_cast<std::size_t>(corner.vertexIndex),
                                  group.vertices.size());
                    }
                    if (corner.textureIndex != kAbsentIndex) {
                        ASSERT_LT(static_cast<std::size_t>(corner.textureIndex),
                                  group.textureVertices.size());
                    }
                    if (corner.normalIndex != kAbsentIndex) {
                        ASSERT_LT(static_cast<std::size_t>(corner.normalIndex),
                                  group.normals.size());
                    }
                }
            }
        }
    }
}

}  // namespace
}  // namespace tessary
