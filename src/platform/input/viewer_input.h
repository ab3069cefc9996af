// What the viewer types, read without waiting, and the terminal's answers that arrive on
// the same input.
//
// The key prompt leaves standard input without echo and line buffering for the whole run
// (restored with the terminal), so typed keys never land on the picture. Everything read
// goes through one decoder (input_decoder.h): the keys are handed to the caller, one byte
// per key (Esc for the Esc key, otherKey for keys that send a sequence), the terminal's
// answers to terminal_answers.h, and pastes are dropped. The frame loop asks once per frame
// and the key prompt while it waits; one call reads at most `capacity` bytes, so a flood of
// input (a paste, or /dev/zero) cannot hold a frame up.
#pragma once

#include <cstddef>

// Reads what is waiting on standard input, at most `capacity` bytes, without blocking, and
// returns the keys among them (at most `capacity`); 0 when there are none.
size_t readTypedInput(char* keys, size_t capacity);

// True once standard input has ended (end of file or an error); it is not read again.
bool typedInputEnded();

// True while the decoder holds the start of a sequence (a lone Esc) that the next few
// milliseconds decide; the key prompt then looks again soon.
bool typedInputPending();

// Waits until `done` says so or `timeoutMs` have passed, decoding what arrives: answers go
// to terminal_answers.h, keys are kept for readTypedInput.
void awaitTerminalAnswers(int timeoutMs, bool (*done)());

// Reads and drops what is still arriving (the rest of a paste, say) until nothing has come
// for a few milliseconds or `timeoutMs` have passed, so that it does not reach the shell
// once the program has ended. Called on the way out after q or Esc.
void discardTypedInput(int timeoutMs);
