// Turns the bytes that arrive on a terminal's input into keys and terminal answers.
//
// One decoder reads everything: the key prompt, the start-up questions to the terminal and
// the frame loop all feed it (viewer_input.h), so an answer that comes late is still
// recognised as an answer and dropped from the keys, never taken for a key press. Its state
// lasts across reads: a sequence cut between two reads is put together again, and an Esc
// counts as the Esc key only when nothing follows it within `escapeWaitMs`, as terminal
// programs do. A bracketed paste (ESC [ 200 ~ ... ESC [ 201 ~) is dropped whole.
// Pure: no I/O; the caller gives the time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// What a lone Esc waits for before it counts as the Esc key.
constexpr uint64_t escapeWaitMs = 60;

// What any other sequence may take from its first to its last byte: a terminal sends one in
// a burst, so one still open after this was begun by a key (Alt with [ or P, say).
constexpr uint64_t sequenceWaitMs = 500;

// Stands for a key that sends a sequence (an arrow, a function key, Alt with a key): a key,
// but none that the show reacts to.
constexpr char otherKey = '\0';

// Longest answer kept; a longer one is still consumed whole, and handed over cut.
constexpr size_t maxAnswerBytes = 1024;

// Receives each answer of the terminal: the sequence from its ESC up to its end, without
// the terminator of a text answer (BEL or ESC \).
using AnswerHandler = void (*)(const char* sequence, size_t length);

struct InputDecoder {
    enum class State { ground, escape, csi, ss3, text, textEscape };
    State state = State::ground;
    char introducer = 0;        // '[' for CSI; 'P', ']', '_', '^' or 'X' for a text sequence
    std::string sequence;       // the sequence so far, ESC included, at most maxAnswerBytes
    size_t sequenceLength = 0;  // its whole length, also past what is kept
    uint64_t escapeAt = 0;      // when the pending Esc came
    bool inPaste = false;       // inside a bracketed paste: everything is dropped
};

// Decodes `count` bytes that arrived at `nowMs`: appends the keys to `keys` (one byte per
// key; otherKey for keys that send a sequence) and hands every terminal answer to
// `onAnswer` (which may be null).
void feedInput(InputDecoder& decoder, const char* bytes, size_t count, uint64_t nowMs, std::string& keys,
               AnswerHandler onAnswer);

// A lone Esc that has waited escapeWaitMs by `nowMs` becomes the Esc key.
void settleInput(InputDecoder& decoder, uint64_t nowMs, std::string& keys);

// True while part of a sequence is waiting for the rest.
bool inputPending(const InputDecoder& decoder);
