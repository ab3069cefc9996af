#include "platform/system/files.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

bool directoryExists(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_directory(path, error);
}

bool regularFileExists(const std::string& path) {
    struct stat status;
    return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

bool readRegularFile(const std::string& path, uint8_t* buffer, size_t capacity, size_t& bytesRead,
                     std::string& reason) {
    bytesRead = 0;
    // Non-blocking, so that opening a FIFO without a writer returns at once.
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        reason = std::strerror(errno);
        return false;
    }
    struct stat status;
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        reason = "not a regular file";
        ::close(descriptor);
        return false;
    }
    while (bytesRead < capacity) {
        const ssize_t count = ::read(descriptor, buffer + bytesRead, capacity - bytesRead);
        if (count < 0 && errno == EINTR) continue;
        if (count < 0) {
            reason = std::strerror(errno);
            ::close(descriptor);
            return false;
        }
        if (count == 0) break;  // a short file: the rest of the buffer keeps what it held
        bytesRead += static_cast<size_t>(count);
    }
    ::close(descriptor);
    return true;
}

std::string executableDirectory() {
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return "";
    path[length] = '\0';
    return std::filesystem::path(path).parent_path().string();
}

std::string workingDirectory() {
    std::error_code error;
    const auto path = std::filesystem::current_path(error);
    return error ? "." : path.string();
}

bool makeDirectories(const std::string& path, std::string& reason) {
    std::error_code error;
    std::filesystem::create_directories(path, error);
    if (!error && std::filesystem::is_directory(path, error)) return true;
    reason = error ? error.message() : "not a directory";
    return false;
}

std::vector<std::string> folderEntries(const std::string& path) {
    std::vector<std::string> names;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(path, error), end; !error && entry != end; entry.increment(error))
        names.push_back(entry->path().filename().string());
    return names;
}

bool removeFile(const std::string& path, std::string& reason) {
    if (::unlink(path.c_str()) == 0) return true;
    reason = std::strerror(errno);
    return false;
}
