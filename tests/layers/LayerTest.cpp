// The layer rule of the README, checked on the sources: a folder of src/ may include its own
// headers, those of the folders below it and those of platform/, nothing else.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Bottom to top, as the README lists them; folders on one level may not include each other.
const std::map<std::string, int> kLevels = {
    {"platform", 0}, {"model", 1}, {"pane", 2},     {"edit", 3}, {"geometry", 4}, {"regions", 4},
    {"commands", 5}, {"shell", 6}, {"headless", 7}, {"app", 8},  {"cli", 8},
};

// The folder an include names: "pane/FigureFile.h" -> "pane"; a bare name is the includer's
// own folder.
std::string FolderOf(const std::string& included, const std::string& includer) {
    const std::size_t slash = included.find('/');
    return slash == std::string::npos ? includer : included.substr(0, slash);
}

TEST(LayerTest, NoFolderIncludesAFolderAboveOrBesideIt) {
    const fs::path src = TESSARY_SOURCE_DIR;
    std::vector<std::string> faults;
    int includes = 0;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(src)) {
        const fs::path ext = entry.path().extension();
        if (!entry.is_regular_file() || (ext != ".h" && ext != ".cpp")) {
            continue;
        }
        const fs::path relative = entry.path().lexically_relative(src);
        const std::string folder = relative.begin()->string();
        const std::string where = relative.generic_string();
        const auto level = kLevels.find(folder);
        if (level == kLevels.end()) {
            faults.push_back(where + ": folder " + folder + " has no place in the layer order");
            continue;
        }
        std::ifstream in(entry.path());
        std::string line;
        while (std::getline(in, line)) {
            const std::string directive = "#include \"";
            if (line.rfind(directive, 0) != 0) {
                continue;
            }
            const std::string included =
                line.substr(directive.size(), line.find('"', directive.size()) - directive.size());
            const std::string target = FolderOf(included, folder);
            ++includes;
            const auto targetLevel = kLevels.find(target);
            if (target == folder || target == "platform") {
                continue;
            }
            if (targetLevel == kLevels.end() || targetLevel->second >= level->second) {
                faults.push_back(where + " includes " + included);
            }
        }
    }
    EXPECT_GT(includes, 100);  // the walk found the sources
    for (const std::string& fault : faults) {
        ADD_FAILURE() << fault;
    }
}

}  // namespace
