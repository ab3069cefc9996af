// File-system questions on Windows. Paths travel through the program as UTF-8 and become
// UTF-16 here, so a folder name may hold any Unicode character.
#include "platform/files.h"

#include <filesystem>
#include <system_error>
#include <vector>

#include <windows.h>

namespace {

std::filesystem::path fromUtf8(const std::string& path) { return std::filesystem::u8path(path); }

std::string toUtf8(const std::filesystem::path& path) { return path.u8string(); }

}  // namespace

bool directoryExists(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_directory(fromUtf8(path), error);
}

std::string executableDirectory() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return "";
        if (length < buffer.size()) {
            return toUtf8(std::filesystem::path(std::wstring(buffer.data(), length)).parent_path());
        }
        if (buffer.size() >= 32768) return "";  // the longest path Windows has
        buffer.resize(buffer.size() * 2);
    }
}

std::string workingDirectory() {
    std::error_code error;
    const auto path = std::filesystem::current_path(error);
    return error ? "." : toUtf8(path);
}

bool makeDirectories(const std::string& path, std::string& reason) {
    std::error_code error;
    const auto folder = fromUtf8(path);
    std::filesystem::create_directories(folder, error);
    if (!error && std::filesystem::is_directory(folder, error)) return true;
    reason = error ? error.message() : "not a directory";
    return false;
}
