#include "platform/input/key_wait.h"

#include "platform/terminal/console.h"

std::string promptLine(const std::string& lead) { return lead + "Press any key to continue . . . "; }

std::string windowSizeNote(int rows, int columns) {
    if (rows >= consoleRows && columns >= consoleColumns) return "";
    return "This window is " + std::to_string(columns) + " x " + std::to_string(rows) + "; the show needs " +
           std::to_string(consoleColumns) + " x " + std::to_string(consoleRows) + ".";
}

std::vector<std::string> noteRows(const std::vector<std::string>& notes, int columns) {
    const size_t width = columns > 0 ? static_cast<size_t>(columns) : 1;
    std::vector<std::string> rows;
    for (const std::string& note : notes) {
        std::string rest = note;
        while (rest.size() > width) {
            // Break at the last space that leaves the row within the width.
            size_t cut = rest.rfind(' ', width);
            const bool atSpace = cut != std::string::npos && cut > 0;
            if (!atSpace) cut = width;
            rows.push_back(rest.substr(0, cut));
            rest = rest.substr(atSpace ? cut + 1 : cut);
        }
        rows.push_back(rest);
    }
    return rows;
}
