// Odd files and descriptors at start-up: a huge module, and standard descriptors that
// were closed by whoever started the program.
#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "harness.h"
#include "platform/audio/music_engine.h"

namespace {

namespace fs = std::filesystem;

// The peak resident memory of this process so far, in kB.
long peakKilobytes() {
    const std::string status = harness::readText("/proc/self/status");
    return std::stol(status.substr(status.find("VmHWM:") + 6));
}

TEST(FaultFiles, AnOversizedModuleIsTurnedDownWithoutBeingRead) {
    static const fs::path path = fs::temp_directory_path() / ("zorbel-fault-huge-" + std::to_string(::getpid()) + ".xm");
    std::ofstream(path) << "Extended Module: ";
    fs::resize_file(path, 200L * 1024 * 1024);  // sparse: costs no disk
    int status = 0;
    harness::runChild([] {  // in a child, so the peak is its own
        const long before = peakKilobytes();
        std::string reason;
        const bool loaded = loadModuleFile(path.c_str(), reason);
        const long grown = peakKilobytes() - before;
        _exit(!loaded && reason.find("too large") != std::string::npos && grown < 16 * 1024 ? 0 : 1);
    }, status);
    fs::remove(path);
    EXPECT_EQ(harness::statusOf(status), 0) << "the module was read, or not turned down";
}

// Started with standard input, output and error closed, the program must open them to /dev/null
// before anything else, or its files (here the capture table) take their numbers.
TEST(FaultFiles, ClosedStandardDescriptorsAreOpenedToDevNull) {
    const fs::path out = harness::freshFolder("fault-closed") / "out";
    const auto run = harness::runShell("cd '" ZORBEL_SOURCE_DIR "' && { " + harness::zorbel + " --capture " +
                                           harness::quoted(out) + " --no-audio <&- >&- 2>&- & pid=$!;"
                                           // Descriptor 2 appears once the program has opened something.
                                           " for i in $(seq 100); do [ -e /proc/$pid/fd/2 ] && break; sleep 0.1; done;"
                                           " readlink /proc/$pid/fd/0 /proc/$pid/fd/1 /proc/$pid/fd/2; kill $pid; }",
                                       60);
    EXPECT_EQ(run.output, "/dev/null\n/dev/null\n/dev/null\n");
    fs::remove_all(out.parent_path());
}

}  // namespace
