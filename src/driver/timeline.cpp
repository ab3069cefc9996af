#include "driver/timeline.h"

void updateLateScenes() {}
void updateMiddleScenes() {}
void updateIntroImages() {}
