// Tune composition (see tune.h).
//
// Each 64-row pattern is four bars of four beats over one chord progression. Channels:
// 0..2 kick layers, 3 snare, 4 hats, 5 bass, 6 arpeggio, 7 lead, 8 lead echo or harmony,
// 9..11 pad.
// Notes are given as MIDI numbers (60 = middle C) and converted to XM notes (C-4 = 49).
#include "tune.h"

#include "synth.h"

#include <array>

namespace {

enum Instrument : uint8_t {
    insKick = 1, insKickSub, insKickBody, insSnare, insHat, insOpenHat, insBass, insPluck, insLead, insPad
};
enum Channel { chKick, chKickSub, chKickBody, chSnare, chHat, chBass, chArp, chLead, chEcho, chPad };

struct Note {
    int row;
    int midi;
    int length;
};
using Chord = std::array<int, 3>;  // pad voicing, low to high
struct Progression {
    std::array<Chord, 4> chords;
    std::array<int, 4> bassRoots;  // MIDI, around A1..A2
};

// Am F C G / Dm G C E / F G Am Am.
const Progression progMain{{{{57, 60, 64}, {57, 60, 65}, {55, 60, 64}, {55, 59, 62}}}, {{45, 41, 36, 43}}};
const Progression progTurn{{{{57, 62, 65}, {55, 59, 62}, {55, 60, 64}, {56, 59, 64}}}, {{38, 43, 36, 40}}};
const Progression progCalm{{{{57, 60, 65}, {55, 59, 62}, {57, 60, 64}, {57, 60, 64}}}, {{41, 43, 45, 45}}};

const std::vector<Note> melodyA = {
    {0, 76, 6}, {6, 74, 2}, {8, 72, 4}, {12, 74, 2}, {14, 76, 2},
    {16, 77, 6}, {22, 76, 2}, {24, 72, 4}, {28, 69, 4},
    {32, 79, 6}, {38, 77, 2}, {40, 76, 4}, {44, 72, 2}, {46, 74, 2},
    {48, 74, 6}, {54, 76, 2}, {56, 74, 4}, {60, 71, 4}};
const std::vector<Note> melodyB = {
    {0, 77, 4}, {4, 81, 4}, {8, 79, 2}, {10, 77, 2}, {12, 76, 2}, {14, 74, 2},
    {16, 74, 6}, {22, 71, 2}, {24, 74, 4}, {28, 79, 4},
    {32, 76, 4}, {36, 79, 4}, {40, 84, 6}, {46, 83, 2},
    {48, 80, 8}, {56, 83, 4}, {60, 76, 4}};
const std::vector<Note> melodyCalm = {
    {0, 72, 12}, {12, 69, 4}, {16, 74, 12}, {28, 71, 4}, {32, 72, 8}, {40, 76, 8}, {48, 69, 16}};

enum class LeadPart { none, echo, harmony };

struct Section {
    const Progression* progression;
    bool kick, snare, hats, openHats, sixteenthHats, bass, arp, pad;
    const std::vector<Note>* melody;
    LeadPart second;
    int fill;       // 0 none, 1 snare fill in the last bar, 2 rising snare roll over the pattern
    int arpVolume;  // 0..64
};

uint8_t vol(int v) { return static_cast<uint8_t>(0x10 + v); }
uint8_t xmNote(int midi) { return static_cast<uint8_t>(midi - 11); }

struct PatternBuilder {
    XmPattern p;
    PatternBuilder() { p.cells.resize(64 * tuneChannels); }
    XmCell& at(int row, int channel) { return p.cells[static_cast<size_t>(row * tuneChannels + channel)]; }
    void note(int row, int channel, int midi, uint8_t instrument, int volume) {
        XmCell& c = at(row, channel);
        c.note = xmNote(midi);
        c.instrument = instrument;
        c.volume = vol(volume);
    }
    void keyOff(int row, int channel) {
        if (row < 64 && at(row, channel).note == 0) at(row, channel).note = xmKeyOff;
    }
};

// The chord tone at or below `midi` nearest to it, an octave-shifted voicing of `chord`.
int chordToneBelow(const Chord& chord, int midi) {
    int best = midi - 12;
    for (int tone : chord)
        for (int octave = -24; octave <= 24; octave += 12) {
            const int n = tone + octave;
            if (n < midi - 2 && n > best) best = n;
        }
    return best;
}

void addMelody(PatternBuilder& b, const Section& s) {
    for (size_t i = 0; i < s.melody->size(); ++i) {
        const Note& n = (*s.melody)[i];
        b.note(n.row, chLead, n.midi, insLead, 36);
        const bool tied = i + 1 < s.melody->size() && (*s.melody)[i + 1].row == n.row + n.length;
        if (!tied) b.keyOff(n.row + n.length, chLead);
        if (n.length >= 6) {
            // A gentle vibrato on long notes, starting one row in.
            XmCell& c = b.at(n.row + 2, chLead);
            c.effect = 4;
            c.param = 0x42;
            for (int r = n.row + 3; r < n.row + n.length && r < 64; ++r) b.at(r, chLead).effect = 4;
        }
        if (s.second == LeadPart::echo && n.row + 3 < 64) {
            b.note(n.row + 3, chEcho, n.midi, insLead, 13);
            if (!tied) b.keyOff(n.row + 3 + n.length, chEcho);
        } else if (s.second == LeadPart::harmony) {
            const Chord& chord = s.progression->chords[static_cast<size_t>(n.row / 16)];
            b.note(n.row, chEcho, chordToneBelow(chord, n.midi), insLead, 22);
            if (!tied) b.keyOff(n.row + n.length, chEcho);
        }
    }
}

void addDrums(PatternBuilder& b, const Section& s) {
    for (int row = 0; row < 64; ++row) {
        const int inBeat = row % 4;
        if (s.kick && inBeat == 0) {
            // Three layers struck together make one kick: punch, sub and body.
            b.note(row, chKick, 60, insKick, 64);
            b.note(row, chKickSub, 60, insKickSub, 64);
            b.note(row, chKickBody, 60, insKickBody, 64);
        }
        if (s.snare && row % 8 == 4 && !(s.fill == 1 && row >= 56)) b.note(row, chSnare, 60, insSnare, 40);
        if (s.hats && inBeat == 2) b.note(row, chHat, 60, s.openHats ? insOpenHat : insHat, s.openHats ? 20 : 26);
        if (s.sixteenthHats && inBeat % 2 == 1) b.note(row, chHat, 60, insHat, 11);
    }
    if (s.fill == 1) {
        const int rows[] = {56, 58, 59, 60, 61, 62, 63};
        int v = 26;
        for (int row : rows) b.note(row, chSnare, 60, insSnare, v += 4);
    } else if (s.fill == 2) {
        // Quarter notes, then eighths, then sixteenths, getting louder.
        for (int row = 0; row < 64; ++row) {
            const int step = row < 16 ? 4 : row < 48 ? 2 : 1;
            if (row % step == 0) b.note(row, chSnare, 60, insSnare, 18 + row * 40 / 63);
        }
    }
}

void addHarmony(PatternBuilder& b, const Section& s) {
    for (int bar = 0; bar < 4; ++bar) {
        const Chord& chord = s.progression->chords[static_cast<size_t>(bar)];
        const int root = s.progression->bassRoots[static_cast<size_t>(bar)];
        const int row0 = bar * 16;
        if (s.pad)
            for (int k = 0; k < 3; ++k) b.note(row0, chPad + k, chord[static_cast<size_t>(k)], insPad, 22);
        if (s.pad && s.kick) {
            // The pads duck under every kick and swell back over the beat (volume 6, then
            // +5 per row), which leaves the kick room and makes the mix breathe.
            for (int row = row0; row < row0 + 16; ++row)
                for (int k = 0; k < 3; ++k) {
                    XmCell& c = b.at(row, chPad + k);
                    if (row % 4 == 0) c.volume = vol(6);
                    c.effect = 0xA;
                    c.param = 0x10;
                }
        }
        if (s.bass) {
            if (s.kick) {
                // Off-beat pairs: root then octave, after every kick.
                for (int beat = 0; beat < 4; ++beat) {
                    b.note(row0 + beat * 4 + 2, chBass, root, insBass, 48);
                    b.note(row0 + beat * 4 + 3, chBass, root + 12, insBass, 40);
                }
            } else {
                b.note(row0, chBass, root, insBass, 50);
                b.note(row0 + 8, chBass, root, insBass, 36);
            }
        }
        if (s.arp) {
            const int seq[8] = {0, 1, 2, 3, 2, 1, 2, 3};
            for (int r = 0; r < 16; ++r) {
                const int idx = seq[r % 8];
                const int midi = idx == 3 ? chord[0] + 12 : chord[static_cast<size_t>(idx)];
                b.note(row0 + r, chArp, midi, insPluck, s.arpVolume - (r % 2) * 4);
            }
        }
    }
}

XmPattern buildPattern(const Section& s) {
    PatternBuilder b;
    addDrums(b, s);
    addHarmony(b, s);
    if (s.melody) addMelody(b, s);
    return b.p;
}

XmInstrument instrument(const char* name, XmSample sample, std::vector<XmEnvelopePoint> envelope,
                        int sustain, uint16_t fadeout) {
    XmInstrument ins;
    ins.name = name;
    ins.samples.push_back(std::move(sample));
    ins.volumeEnvelope = std::move(envelope);
    ins.sustainPoint = sustain;
    ins.fadeout = fadeout;
    return ins;
}

}  // namespace

XmModule composeTune() {
    XmModule m;
    m.name = "QVO_4::Zorbel";
    m.channels = tuneChannels;
    m.restartPosition = tuneRestart;
    m.speed = 6;
    m.bpm = 125;

    m.instruments.push_back(instrument("kick", makeKick(), {}, -1, 0));
    m.instruments.push_back(instrument("kick sub", makeKickSub(), {}, -1, 0));
    m.instruments.push_back(instrument("kick body", makeKickBody(), {}, -1, 0));
    m.instruments.push_back(instrument("snare", makeSnare(), {}, -1, 0));
    m.instruments.push_back(instrument("closed hat", makeHat(false), {}, -1, 0));
    m.instruments.push_back(instrument("open hat", makeHat(true), {}, -1, 0));
    m.instruments.push_back(instrument("bass", makeBass(), {{0, 64}, {4, 44}, {14, 22}, {34, 0}}, -1, 0));
    m.instruments.push_back(instrument("pluck", makePluck(), {{0, 64}, {6, 26}, {20, 0}}, -1, 0));
    m.instruments.push_back(instrument("lead", makeLead(), {{0, 0}, {2, 64}, {10, 50}, {40, 44}}, 3, 0x500));
    m.instruments.push_back(instrument("pad", makePad(), {{0, 0}, {24, 50}, {48, 40}}, 2, 0x100));

    const Section sections[tunePatterns] = {
        // progression  kick   snare  hats   open   16ths  bass   arp    pad    melody       second            fill arp
        {&progMain, false, false, true,  false, false, false, true,  true,  nullptr,     LeadPart::none,    0, 14},  // intro
        {&progMain, true,  false, true,  false, false, false, true,  true,  nullptr,     LeadPart::none,    0, 18},  // intro with kick
        {&progMain, true,  false, true,  false, true,  true,  true,  true,  nullptr,     LeadPart::none,    0, 20},  // build
        {&progMain, true,  true,  true,  false, true,  true,  true,  true,  nullptr,     LeadPart::none,    1, 22},  // build with snare
        {&progMain, true,  true,  true,  false, true,  true,  true,  true,  &melodyA,    LeadPart::echo,    0, 20},  // theme A
        {&progTurn, true,  true,  true,  false, true,  true,  true,  true,  &melodyB,    LeadPart::echo,    1, 20},  // theme B
        {&progCalm, false, false, false, false, false, true,  true,  true,  &melodyCalm, LeadPart::echo,    0, 16},  // breakdown
        {&progMain, true,  false, true,  false, false, true,  true,  true,  nullptr,     LeadPart::none,    2, 22},  // roll back in
        {&progMain, true,  true,  true,  true,  true,  true,  true,  true,  &melodyA,    LeadPart::harmony, 0, 20},  // theme A, harmonised
        {&progTurn, true,  true,  true,  true,  true,  true,  true,  true,  &melodyB,    LeadPart::harmony, 1, 20},  // theme B, harmonised
        {&progMain, true,  true,  true,  true,  true,  true,  true,  true,  nullptr,     LeadPart::none,    1, 26},  // groove
    };
    for (const Section& s : sections) m.patterns.push_back(buildPattern(s));
    m.orders = {0, 1, 2, 3, 4, 5, 4, 5, 6, 7, 8, 9, 8, 9, 10, 3};
    return m;
}
