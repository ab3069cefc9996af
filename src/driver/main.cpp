#include "driver/run_demo.h"
#include "platform/system/signals.h"

int main(int argc, char** argv) {
    openMissingStandardDescriptors();
    return runDemo(argc, argv);
}
