// Sample synthesis for the tune: drums rendered as one-shot samples, tonal instruments as
// looped additive waveforms whose brightness settles into a fixed loop.
//
// Used by tune.cpp only. Everything is computed from the arguments with a private
// pseudo-random generator, so the same call always gives the same frames.
#pragma once

#include "xm_writer.h"

constexpr double drumRate = 44100.0;

// Drums play at their own rate when triggered with C-4 (relative note 29, finetune -24).
XmSample makeKick();      // punch
XmSample makeKickSub();   // sub
XmSample makeKickBody();  // low noise thump
XmSample makeSnare();
XmSample makeHat(bool open);

// Tonal samples are tuned so that a pattern note plays at concert pitch.
XmSample makeBass();
XmSample makePluck();
XmSample makeLead();
XmSample makePad();
