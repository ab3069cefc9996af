#include "driver/run_demo.h"

#include "driver/capture.h"
#include "driver/data_files.h"
#include "driver/demo.h"
#include "driver/options.h"
#include "platform/audio/audio.h"

int runDemo(int argc, char** argv) {
    DemoOptions options;
    const int status = parseOptions(argc, argv, options);
    if (status >= 0) return status;
    chooseDataFolder(options.dataFolder);
    if (!options.captureFolder.empty() || !options.videoFile.empty()) return runCapture(options);

    setMusicMode(options.noAudio ? MusicMode::off : MusicMode::live);
    if (!startDemo(true, options.start, options.colors)) return 1;
    runFrameLoop();
}
