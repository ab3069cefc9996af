// File-system questions on Windows. Paths travel through the program as UTF-8 and become
// UTF-16 here, so a folder name may hold any Unicode character.
#include "platform/system/files.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>
#include <system_error>
#include <vector>

#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace {

std::filesystem::path fromUtf8(const std::string& path) { return std::filesystem::u8path(path); }

std::string toUtf8(const std::filesystem::path& path) { return path.u8string(); }

std::string lastError() { return std::system_category().message(static_cast<int>(GetLastError())); }

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

std::FILE* openRegularFile(const std::string& path, std::string& reason) {
    if (!regularFileExists(path)) {
        reason = "not a regular file";
        return nullptr;
    }
    std::FILE* file = _wfopen(fromUtf8(path).c_str(), L"rb");
    if (file == nullptr) reason = "cannot be opened";
    return file;
}

bool nameTaken(const std::string& path) {
    return GetFileAttributesW(fromUtf8(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool removeRegularFile(const std::string& path, std::string& reason) {
    const DWORD attributes = GetFileAttributesW(fromUtf8(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        reason = lastError();
        return false;
    }
    if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) {
        reason = "not a regular file";
        return false;
    }
    if (DeleteFileW(fromUtf8(path).c_str())) return true;
    reason = lastError();
    return false;
}

bool createNewFile(const std::string& path, NewFile& file, std::string& reason) {
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    static std::random_device random;
    file = NewFile{};
    file.path = path;
    // CREATE_NEW fails on any name found in the way, a link included: try another tag.
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string tag(6, 'a');
        for (char& c : tag) c = letters[random() % (sizeof letters - 1)];
        file.temporary = path + "." + tag + ".partial";
        const HANDLE handle = CreateFileW(fromUtf8(file.temporary).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                          CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle != INVALID_HANDLE_VALUE) {
            file.descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_BINARY);
            if (file.descriptor >= 0) return true;
            CloseHandle(handle);
            DeleteFileW(fromUtf8(file.temporary).c_str());
            reason = "cannot open the file";
            file.temporary.clear();
            return false;
        }
        if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
    reason = lastError();
    file.temporary.clear();
    return false;
}

bool writeNewFile(NewFile& file, const void* bytes, size_t count, std::string& reason) {
    const char* next = static_cast<const char*>(bytes);
    while (count > 0) {
        const unsigned chunk = static_cast<unsigned>(std::min<size_t>(count, 1u << 30));
        const int written = _write(file.descriptor, next, chunk);
        if (written <= 0) {
            reason = written < 0 ? std::strerror(errno) : "nothing written";
            return false;
        }
        next += written;
        count -= static_cast<size_t>(written);
    }
    return true;
}

int64_t seekNewFile(NewFile& file, int64_t offset, int whence) { return _lseeki64(file.descriptor, offset, whence); }

int64_t newFileSize(NewFile& file) { return _filelengthi64(file.descriptor); }

bool keepNewFile(NewFile& file, std::string& reason) {
    const int descriptor = file.descriptor;
    file.descriptor = -1;
    if (_close(descriptor) != 0) reason = std::strerror(errno);
    else if (!MoveFileExW(fromUtf8(file.temporary).c_str(), fromUtf8(file.path).c_str(), MOVEFILE_REPLACE_EXISTING))
        reason = lastError();
    else {
        file.temporary.clear();
        return true;
    }
    dropNewFile(file);
    return false;
}

void dropNewFile(NewFile& file) {
    if (file.descriptor >= 0) _close(file.descriptor);
    file.descriptor = -1;
    if (!file.temporary.empty()) DeleteFileW(fromUtf8(file.temporary).c_str());
    file.temporary.clear();
}
