// In-memory description of an XM module (FastTracker 2, version 0x0104) and its writer.
//
// The tune composer fills an XmModule; writeXm turns it into the file's bytes. Only what
// the composer needs is modelled: one sample per instrument or none, 16-bit samples,
// volume envelopes, the linear frequency table. Nothing here plays or checks the music.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

constexpr uint8_t xmKeyOff = 97;

struct XmCell {
    uint8_t note = 0;        // 1..96 (49 = C-4), 97 = key off, 0 = none
    uint8_t instrument = 0;  // 1-based, 0 = none
    uint8_t volume = 0;      // volume column byte (0x10 + 0..64 sets the volume)
    uint8_t effect = 0;
    uint8_t param = 0;
};

struct XmPattern {
    int rows = 64;
    std::vector<XmCell> cells;  // rows x channels, row by row
};

struct XmSample {
    std::string name;
    std::vector<int16_t> frames;
    uint32_t loopStart = 0;   // in frames
    uint32_t loopLength = 0;  // in frames, 0 = no loop
    uint8_t volume = 64;
    int8_t finetune = 0;
    uint8_t panning = 128;
    int8_t relativeNote = 0;
};

struct XmEnvelopePoint {
    uint16_t tick;
    uint16_t value;  // 0..64
};

struct XmInstrument {
    std::string name;
    std::vector<XmSample> samples;  // 0 or 1 here; every note maps to sample 0
    std::vector<XmEnvelopePoint> volumeEnvelope;  // empty = off
    int sustainPoint = -1;                        // -1 = no sustain
    uint16_t fadeout = 0;
};

struct XmModule {
    std::string name;
    int channels = 8;
    int restartPosition = 0;
    int speed = 6;
    int bpm = 125;
    std::vector<uint8_t> orders;
    std::vector<XmPattern> patterns;
    std::vector<XmInstrument> instruments;
};

// Throws ToolError when the module breaks a limit of the format.
std::vector<uint8_t> writeXm(const XmModule& module);
