// File-system questions on Windows. Paths travel through the program as UTF-8 and become
// UTF-16 here, so a folder name may hold any Unicode character.
#include "platform/system/files.h"

#include <algorithm>
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

bool regularFileExists(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(fromUtf8(path), error);
}

bool readRegularFile(const std::string& path, uint8_t* buffer, size_t capacity, size_t& bytesRead,
                     std::string& reason) {
    bytesRead = 0;
    if (!regularFileExists(path)) {
        reason = "not a regular file";
        return false;
    }
    const HANDLE file = CreateFileW(fromUtf8(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        reason = std::system_category().message(static_cast<int>(GetLastError()));
        return false;
    }
    while (bytesRead < capacity) {
        DWORD count = 0;
        const DWORD wanted = static_cast<DWORD>(std::min<size_t>(capacity - bytesRead, 1u << 30));
        if (!ReadFile(file, buffer + bytesRead, wanted, &count, nullptr)) {
            reason = std::system_category().message(static_cast<int>(GetLastError()));
            CloseHandle(file);
            return false;
        }
        if (count == 0) break;  // a short file: the rest of the buffer keeps what it held
        bytesRead += count;
    }
    CloseHandle(file);
    return true;
}

std::vector<std::string> folderEntries(const std::string& path) {
    std::vector<std::string> names;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(fromUtf8(path), error), end; !error && entry != end;
         entry.increment(error))
        names.push_back(toUtf8(entry->path().filename()));
    return names;
}

bool removeFile(const std::string& path, std::string& reason) {
    if (DeleteFileW(fromUtf8(path).c_str())) return true;
    reason = std::system_category().message(static_cast<int>(GetLastError()));
    return false;
}
