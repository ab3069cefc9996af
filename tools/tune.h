// The demo's music, composed by program: instruments from synth.h, patterns built from a
// short list of sections (intro, build, main themes, breakdown) over three chord
// progressions in A minor, written as an XM module.
//
// Called by the data generator and the tests. Deterministic: no clock, no shared state.
#pragma once

#include "xm_writer.h"

// The shape of the tune, for callers that check what they load.
constexpr int tuneChannels = 12;
constexpr int tuneInstruments = 10;
constexpr int tunePatterns = 11;
constexpr int tuneOrders = 16;
constexpr int tuneRestart = 4;        // loops back to the first main theme
constexpr int tuneRowsPerBeat = 4;    // the kick falls on every 4th row
constexpr double tuneRowSeconds = 0.12;  // speed 6 at 125 BPM

XmModule composeTune();
