#include "driver/frame_state.h"

float startTime;
float demoTime;
float bassLevel;
