// The terminal's input decoded into keys and answers: sequences cut between reads, the Esc
// key's wait, pastes dropped whole, answers never taken for keys; and what the keys mean.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "driver/viewer_keys.h"
#include "platform/input/input_decoder.h"

namespace {

std::vector<std::string> answers;
void collect(const char* sequence, size_t length) { answers.emplace_back(sequence, length); }

// Feeds `chunks` one after another, `gapMs` apart, then lets any lone Esc settle.
std::string decode(const std::vector<std::string>& chunks, uint64_t gapMs = 0) {
    InputDecoder decoder;
    std::string keys;
    answers.clear();
    uint64_t now = 1000;
    for (const std::string& chunk : chunks) {
        feedInput(decoder, chunk.data(), chunk.size(), now, keys, collect);
        now += gapMs;
    }
    settleInput(decoder, now + escapeWaitMs, keys);
    return keys;
}

const std::string other(1, otherKey);

TEST(InputDecoder, KeysAndOtherKeysSequences) {
    const struct { std::string typed, keys; } cases[] = {
        {"q", "q"},  {" x\r", " x\r"},  {"\x1b", "\x1b"},  {"\x1b\x1b", "\x1b\x1b"},
        {"\x1b[A\x1b[B", other + other},       // arrows
        {"\x1b[1;5C", other},                   // Ctrl-right: parameters before the final byte
        {"\x1b[2q", other},                     // a final byte that is also a key
        {"\x1bOP\x1bOq\x1b[15~", other + other + other},  // F1, keypad 1 in application mode, F5
        {"\x1bq", other},                       // Alt-q
        {"\x1b[A q", other + " q"},
    };
    for (const auto& [typed, keys] : cases) EXPECT_EQ(decode({typed}), keys) << testing::PrintToString(typed);
}

// The fault behind a paste that quit the show: a sequence cut between two reads must not
// leave an Esc key behind, wherever the cut falls.
TEST(InputDecoder, ASequenceCutBetweenReadsIsPutTogether) {
    const std::string typed = "\x1b[A\x1b[1;5C\x1bOq\x1bP>|qq(1)\x1b\\\x1b]4;1;rgb:cd/00/00\x07 ";
    const std::string whole = decode({typed});
    EXPECT_EQ(whole, other + other + other + " ");
    for (size_t cut = 1; cut < typed.size(); ++cut) {
        EXPECT_EQ(decode({typed.substr(0, cut), typed.substr(cut)}, 5), whole) << "cut at " << cut;
        EXPECT_EQ(answers.size(), 2u) << "cut at " << cut;
    }
}

TEST(InputDecoder, ALoneEscIsTheEscKeyOnlyWhenNothingFollowsSoon) {
    InputDecoder decoder;
    std::string keys;
    feedInput(decoder, "\x1b", 1, 0, keys, nullptr);
    settleInput(decoder, escapeWaitMs - 1, keys);
    EXPECT_EQ(keys, "");
    EXPECT_TRUE(inputPending(decoder));
    settleInput(decoder, escapeWaitMs, keys);
    EXPECT_EQ(keys, "\x1b");
    // Esc, then q typed later: two keys, not Alt-q.
    EXPECT_EQ(decode({"\x1b", "q"}, escapeWaitMs), "\x1bq");
    // Alt with P opens what looks like an answer; a key typed later is not swallowed by it.
    EXPECT_EQ(decode({"\x1bP", "q"}, sequenceWaitMs), other + "q");
}

TEST(InputDecoder, PastesAreDroppedWhole) {
    const std::string paste = "\x1b[200~q \x1b\x1b[Aq\x1b[201~";
    EXPECT_EQ(decode({"a" + paste + "b"}), "ab");
    for (size_t cut = 1; cut < paste.size(); ++cut) {
        EXPECT_EQ(decode({paste.substr(0, cut), paste.substr(cut), " "}, 5), " ") << "cut at " << cut;
    }
    // 86 arrow keys in a paste, read 256 bytes at a time, as a terminal without brackets sends them.
    std::string arrows;
    for (int i = 0; i < 86; ++i) arrows += "\x1b[A";
    std::vector<std::string> reads;
    for (size_t at = 0; at < arrows.size(); at += 256) reads.push_back(arrows.substr(at, 256));
    EXPECT_EQ(decode(reads), std::string(86, otherKey));
}

TEST(InputDecoder, AnswersGoToTheirHandlerNeverToTheKeys) {
    const std::vector<std::string> sent = {
        "\x1b[?64;1;2;6;9;15;22c",     // device attributes
        "\x1b[0n",                     // status
        "\x1bP1$r0;48:2::1:2:3m\x1b\\",  // a kept setting
        "\x1bP>|XTerm(379)\x1b\\",     // name and version
        "\x1b]4;1;rgb:cdcd/0000/0000\x07",
    };
    std::string all;
    for (const std::string& answer : sent) all += answer;
    EXPECT_EQ(decode({all + "q"}), "q");
    EXPECT_EQ(answers, (std::vector<std::string>{sent[0], sent[1], "\x1bP1$r0;48:2::1:2:3m", "\x1bP>|XTerm(379)",
                                                 "\x1b]4;1;rgb:cdcd/0000/0000"}));
    // One terminal ends a text answer with a bare Esc, which then starts the next sequence.
    EXPECT_EQ(decode({"\x1b]4;9;rgb:ffff/0000/0000\x1b\x1b[0n "}), " ");
    EXPECT_EQ(answers, (std::vector<std::string>{"\x1b]4;9;rgb:ffff/0000/0000", "\x1b[0n"}));
}

TEST(ViewerKeys, OnlyQEscAndSpaceReact) {
    const struct { std::string keys; bool quit; bool togglePause; } cases[] = {
        {"q", true, false},  {"\x1b", true, false},  {" ", false, true},   {"   ", false, true},
        {"  ", false, false},  // paused and resumed within one frame
        {"xQ\r\n\t" + other, false, false},
    };
    for (const auto& [keys, quit, togglePause] : cases) {
        const ViewerKeys seen = scanViewerKeys(keys.data(), keys.size());
        EXPECT_EQ(std::make_pair(seen.quit, seen.togglePause), std::make_pair(quit, togglePause))
            << testing::PrintToString(keys);
    }
}

}  // namespace
