// The include structure of src/: which folders may use which, no OS header outside platform/, no cycles.
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

struct Include {
    std::string file;    // "driver/demo.cpp"
    std::string target;  // "display/present.h" or "cmath"
    bool angled;         // #include <...>
};

std::vector<Include> sourceIncludes() {
    std::vector<Include> includes;
    const fs::path root = fs::path(ZORBEL_SOURCE_DIR) / "src";
    const std::regex line(R"(^\s*#\s*include\s*([<"])([^>"]+)[>"])");
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (!entry.is_regular_file()) continue;
        const std::string file = fs::relative(entry.path(), root).generic_string();
        std::ifstream in(entry.path());
        std::smatch match;
        for (std::string text; std::getline(in, text);)
            if (std::regex_search(text, match, line)) includes.push_back({file, match[2], match[1] == "<"});
    }
    return includes;
}

std::string folderOf(const std::string& path) { return path.substr(0, path.find('/')); }
std::string moduleOf(const std::string& path) { return path.substr(0, path.rfind('.')); }

// What each folder may include beyond itself: effects and rotation read the clock, presentation flushes the queue.
const std::map<std::string, std::set<std::string>> allowedFolders = {
    {"platform", {}},
    {"display", {"platform", "render3d"}},
    {"render3d", {"display", "platform", "driver/frame_state.h"}},
    {"effects", {"display", "render3d", "driver/frame_state.h"}},
    {"driver", {"display", "render3d", "effects", "platform"}},
};

// Outside src/platform/ only standard headers (<cmath>: no ".h", no folder) and the option parser's are angled.
TEST(SourceLayering, EachFolderIncludesOnlyTheFoldersBelowItAndOnlyPlatformIncludesSystemHeaders) {
    const std::vector<Include> includes = sourceIncludes();
    ASSERT_GT(includes.size(), 100u) << "the source tree was not found";
    for (const Include& include : includes) {
        const std::string from = folderOf(include.file), to = folderOf(include.target);
        const auto& allowed = allowedFolders.at(from);
        if (include.angled && from != "platform")
            EXPECT_TRUE(include.target.find_first_of("./") == std::string::npos || include.target == "CLI/CLI.hpp")
                << include.file << " includes " << include.target;
        else if (!include.angled && from != to)
            EXPECT_TRUE(allowed.count(to) || allowed.count(include.target)) << include.file << " includes " << include.target;
    }
}

TEST(SourceLayering, NoModuleReachesItselfThroughItsIncludes) {
    std::map<std::string, std::set<std::string>> uses;
    for (const Include& include : sourceIncludes()) {
        const std::string from = moduleOf(include.file), to = moduleOf(include.target);
        if (!include.angled && from != to) uses[from].insert(to);  // "driver/demo.cpp" and ".h": "driver/demo"
    }
    // Everything each module reaches, grown until nothing new is added.
    std::map<std::string, std::set<std::string>> reaches = uses;
    for (bool grew = true; grew;) {
        grew = false;
        for (auto& [module, reached] : reaches)
            for (const std::string& next : std::set<std::string>(reached))
                for (const std::string& further : uses[next]) grew |= reached.insert(further).second;
    }
    for (const auto& [module, reached] : reaches) EXPECT_EQ(reached.count(module), 0u) << module << " is in an include cycle";
}

}  // namespace
