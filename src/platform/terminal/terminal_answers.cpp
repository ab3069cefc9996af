#include "platform/terminal/terminal_answers.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

TerminalAnswers terminalAnswers;

namespace {

bool startsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

// "524742" (RGB) or "5463" (Tc), hex-coded names as XTGETTCAP sends them, each followed
// by "=" and its value or ending the answer.
bool namesDirectColor(const std::string& body) {
    for (const char* name : {"524742", "5463"}) {
        for (size_t at = body.find(name); at != std::string::npos; at = body.find(name, at + 1)) {
            const bool startsName = at == 0 || body[at - 1] == ';';
            const char after = at + std::string(name).size() < body.size() ? body[at + std::string(name).size()] : ';';
            if (startsName && (after == '=' || after == ';')) return true;
        }
    }
    return false;
}

// The colour a terminal reports for an entry: "rgb:" then three groups of 1 to 4 hex digits.
bool isColorValue(const std::string& value) {
    if (!startsWith(value, "rgb:")) return false;
    int groups = 0, digits = 0;
    for (size_t i = 4; i <= value.size(); ++i) {
        if (i == value.size() || value[i] == '/') {
            if (digits < 1 || digits > 4) return false;
            ++groups;
            digits = 0;
        } else if (std::isxdigit(static_cast<unsigned char>(value[i]))) {
            ++digits;
        } else {
            return false;
        }
    }
    return groups == 3;
}

// OSC 4 ; index ; colour (possibly several pairs).
void readPalette(TerminalAnswers& answers, const std::string& body) {
    size_t at = 2;  // after "4;"
    while (at < body.size()) {
        const size_t indexEnd = body.find(';', at);
        if (indexEnd == std::string::npos) return;
        const size_t valueEnd = std::min(body.find(';', indexEnd + 1), body.size());
        const std::string index = body.substr(at, indexEnd - at);
        const std::string value = body.substr(indexEnd + 1, valueEnd - indexEnd - 1);
        char* end = nullptr;
        const long entry = std::strtol(index.c_str(), &end, 10);
        if (!index.empty() && *end == '\0' && entry >= 0 && entry < 16 && isColorValue(value)) {
            if (answers.palette[entry].empty()) ++answers.paletteAnswers;
            answers.palette[entry] = value;
        }
        at = valueEnd + 1;
    }
}

}  // namespace

void readTerminalAnswer(TerminalAnswers& answers, const char* sequence, size_t length) {
    if (length < 3 || sequence[0] != '\x1b') return;
    const char introducer = sequence[1];
    const std::string body(sequence + 2, length - 2);
    if (introducer == '[') {
        if (startsWith(body, "?") && body.back() == 'c') ++answers.deviceAttributes;
    } else if (introducer == 'P') {
        if (startsWith(body, "1$r")) {
            // The 24-bit background the question set, as the terminal keeps it (with colons
            // or semicolons, with or without the empty colour-space field).
            for (const char* kept : {"48:2::1:2:3", "48:2:1:2:3", "48;2;1;2;3"}) {
                if (body.find(kept) != std::string::npos) answers.keptDirectColor = true;
            }
        } else if (startsWith(body, "1+r")) {
            if (namesDirectColor(body.substr(3))) answers.saysDirectColor = true;
        } else if (startsWith(body, ">|")) {
            answers.version = body.substr(2);
        }
    } else if (introducer == ']') {
        if (startsWith(body, "4;")) readPalette(answers, body);
    }
}

void noteTerminalAnswer(const char* sequence, size_t length) { readTerminalAnswer(terminalAnswers, sequence, length); }
