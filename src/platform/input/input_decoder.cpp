#include "platform/input/input_decoder.h"

namespace {

constexpr char escape = '\x1b';
constexpr char bell = '\x07';
const std::string pasteStart = "\x1b[200~";
const std::string pasteEnd = "\x1b[201~";
// A key's CSI sequence is short; a longer one is noise, dropped as a key.
constexpr size_t maxCsiBytes = 64;

void begin(InputDecoder& d, char byte) {
    d.sequence.assign(1, escape);
    d.sequenceLength = 1;
    if (byte != 0) {
        d.sequence += byte;
        d.sequenceLength = 2;
    }
}

void add(InputDecoder& d, char byte) {
    if (d.sequence.size() < maxAnswerBytes) d.sequence += byte;
    ++d.sequenceLength;
}

void finish(InputDecoder& d) {
    d.state = InputDecoder::State::ground;
    d.sequence.clear();
    d.sequenceLength = 0;
}

// A finished CSI sequence: an answer (device attributes ESC [ ? ... c or ESC [ > ... c,
// a status ESC [ 0 n, a mode report ... $ y), the paste brackets, or a key.
void endCsi(InputDecoder& d, std::string& keys, AnswerHandler onAnswer) {
    const std::string& s = d.sequence;
    const char final = s.back();
    const char first = s.size() > 2 ? s[2] : 0;
    if (s == pasteStart) {
        d.inPaste = true;
    } else if (s == pasteEnd) {
        // An end without a start: nothing to drop.
    } else if ((final == 'c' && (first == '?' || first == '>')) || (final == 'n' && first != '?') ||
               (final == 'y' && s.size() > 3 && s[s.size() - 2] == '$')) {
        if (onAnswer != nullptr) onAnswer(s.data(), s.size());
    } else {
        keys += otherKey;
    }
    finish(d);
}

// Inside a paste only its end counts; a sequence cut between reads is matched across them.
void feedPaste(InputDecoder& d, char byte) {
    if (byte == escape) {
        d.sequence.assign(1, escape);
        return;
    }
    if (d.sequence.empty()) return;
    d.sequence += byte;
    if (pasteEnd.compare(0, d.sequence.size(), d.sequence) != 0) {
        d.sequence.clear();
    } else if (d.sequence == pasteEnd) {
        d.sequence.clear();
        d.inPaste = false;
    }
}

}  // namespace

void feedInput(InputDecoder& d, const char* bytes, size_t count, uint64_t nowMs, std::string& keys,
               AnswerHandler onAnswer) {
    using State = InputDecoder::State;
    for (size_t i = 0; i < count; ++i) {
        const char byte = bytes[i];
        if (d.inPaste) {
            feedPaste(d, byte);
            continue;
        }
        // A terminal sends a sequence in one burst; one still open long after it began was
        // typed (Alt with [ or P, say): it was a key, and this byte starts afresh.
        if (d.state != State::ground && nowMs - d.escapeAt >= (d.state == State::escape ? escapeWaitMs : sequenceWaitMs)) {
            keys += d.state == State::escape ? escape : otherKey;
            finish(d);
        }
        switch (d.state) {
            case State::ground:
                if (byte == escape) {
                    d.state = State::escape;
                    d.escapeAt = nowMs;
                    begin(d, 0);
                } else {
                    keys += byte;
                }
                break;
            case State::escape:
                if (byte == '[') {
                    d.state = State::csi;
                    begin(d, byte);
                } else if (byte == 'O') {
                    d.state = State::ss3;
                } else if (byte == 'P' || byte == ']' || byte == '_' || byte == '^' || byte == 'X') {
                    d.state = State::text;
                    d.introducer = byte;
                    begin(d, byte);
                } else if (byte == escape) {
                    // Esc, then another Esc: the first was the Esc key on its own.
                    keys += escape;
                    d.escapeAt = nowMs;
                } else {
                    keys += otherKey;  // Alt with a key
                    finish(d);
                }
                break;
            case State::csi:
                add(d, byte);
                if (d.sequenceLength > maxCsiBytes) {
                    keys += otherKey;
                    finish(d);
                    break;
                }
                // Parameters and intermediates up to the final byte, 0x40 to 0x7E.
                if (byte >= 0x40 && byte <= 0x7E) endCsi(d, keys, onAnswer);
                break;
            case State::ss3:
                keys += otherKey;  // F1 to F4, keypad keys in application mode
                finish(d);
                break;
            case State::text:
                // A text sequence (an answer) ends with ST (ESC \) or BEL.
                if (byte == bell) {
                    if (onAnswer != nullptr) onAnswer(d.sequence.data(), d.sequence.size());
                    finish(d);
                } else if (byte == escape) {
                    d.state = State::textEscape;
                } else {
                    add(d, byte);
                }
                break;
            case State::textEscape:
                // ESC \ ends it; one terminal ends it with a bare Esc, and the next byte
                // (often the Esc of the next answer) starts afresh.
                if (onAnswer != nullptr) onAnswer(d.sequence.data(), d.sequence.size());
                finish(d);
                if (byte != '\\') feedInput(d, &byte, 1, nowMs, keys, onAnswer);
                break;
        }
    }
}

void settleInput(InputDecoder& d, uint64_t nowMs, std::string& keys) {
    if (d.state == InputDecoder::State::escape && nowMs - d.escapeAt >= escapeWaitMs) {
        keys += escape;
        finish(d);
    }
}

bool inputPending(const InputDecoder& d) { return d.state != InputDecoder::State::ground; }
