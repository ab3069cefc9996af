// A packager's configure, asking for nothing: with the test, benchmark and tool packages gone it configures, and
// installs the program, its data, the man page and the copyright file.
#include <gtest/gtest.h>

#include "harness.h"

namespace {

using namespace harness;

TEST(BuildConfiguration, RunTimeLibrariesAloneConfigureAndInstallTheProgramDataAndManPage) {
    const fs::path scratch = freshFolder("configure");
    // pkg-config that knows nothing of the test, benchmark and tool libraries.
    const fs::path pkgConfig = scratch / "pkg-config";
    std::ofstream(pkgConfig) << "#!/bin/sh\n"
                                "case \"$*\" in *vterm*|*ncurses*|*freetype*) exit 1 ;; esac\n"
                                "exec pkg-config \"$@\"\n";
    fs::permissions(pkgConfig, fs::perms::owner_all);
    const Result configured = runShell("timeout 120 cmake -S '" ZORBEL_SOURCE_DIR "' -B " + quoted(scratch / "build") +
                                       " -G Ninja -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON -DCMAKE_DISABLE_FIND_PACKAGE_GMock=ON"
                                       " -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON -DPKG_CONFIG_EXECUTABLE=" +
                                       quoted(pkgConfig));
    ASSERT_EQ(configured.status, 0) << configured.output;

    const std::string rules = readText(scratch / "build/build.ninja");
    EXPECT_NE(rules.find("build zorbel:"), std::string::npos);
    for (const char* target : {"zorbel_tests", "bench_frame", "zorbel-data"})
        EXPECT_EQ(rules.find(target), std::string::npos) << target;
    const std::string install = readText(scratch / "build/cmake_install.cmake");
    for (const char* installed : {"share/man/man1", "zorbel.1.gz", "share/zorbel/Data", "bin", "share/doc/zorbel"})
        EXPECT_NE(install.find(installed), std::string::npos) << installed;
}

}  // namespace
