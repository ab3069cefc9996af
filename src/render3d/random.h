// The program's one pseudo-random sequence.
//
// Owns `randomState` (starts at 1, never reseeded, so every run draws the same colours
// and stars). Called by the cube model and the star field.
#pragma once

#include <cstdint>

extern uint32_t randomState;

// Advances the state (x * 214013 + 2531011 mod 2^32) and returns bits 16..30: 0..32767.
int32_t nextRandom();
