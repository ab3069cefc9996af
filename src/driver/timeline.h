// The scene timeline: which scene draws at which second of `demoTime`.
//
// `tickFrame` calls the three functions every frame in this order; their time windows do
// not overlap, so at most one of them draws.
#pragma once

void updateLateScenes();    // 96 to 260 seconds
void updateMiddleScenes();  // 37 to 96 seconds
void updateIntroImages();   // 7 to 37 seconds
