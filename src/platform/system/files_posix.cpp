#include "platform/system/files.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/random.h>
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

std::FILE* openRegularFile(const std::string& path, std::string& reason) {
    // Non-blocking, so that opening a FIFO without a writer returns at once.
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        reason = std::strerror(errno);
        return nullptr;
    }
    struct stat status;
    std::FILE* file = nullptr;
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) reason = "not a regular file";
    else if ((file = ::fdopen(descriptor, "rb")) == nullptr) reason = std::strerror(errno);
    if (file == nullptr) ::close(descriptor);
    return file;
}

bool nameTaken(const std::string& path) {
    struct stat status;
    return ::lstat(path.c_str(), &status) == 0;
}

bool removeRegularFile(const std::string& path, std::string& reason) {
    struct stat status;
    if (::lstat(path.c_str(), &status) != 0) {
        reason = std::strerror(errno);
        return false;
    }
    if (!S_ISREG(status.st_mode)) {
        reason = "not a regular file";
        return false;
    }
    if (::unlink(path.c_str()) == 0) return true;
    reason = std::strerror(errno);
    return false;
}

bool createNewFile(const std::string& path, NewFile& file, std::string& reason) {
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    file = NewFile{};
    file.path = path;
    // A taken name (a planted link, another run's file) is never opened: try another tag.
    for (int attempt = 0; attempt < 100; ++attempt) {
        unsigned char random[6];
        if (::getrandom(random, sizeof random, 0) != static_cast<ssize_t>(sizeof random)) {
            reason = std::strerror(errno);
            return false;
        }
        std::string tag(sizeof random, 'a');
        for (size_t i = 0; i < sizeof random; ++i) tag[i] = letters[random[i] % (sizeof letters - 1)];
        file.temporary = path + "." + tag + ".partial";
        file.descriptor = ::open(file.temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (file.descriptor >= 0) return true;
        if (errno != EEXIST) break;
    }
    reason = std::strerror(errno);
    file.temporary.clear();
    return false;
}

bool writeNewFile(NewFile& file, const void* bytes, size_t count, std::string& reason) {
    const char* next = static_cast<const char*>(bytes);
    while (count > 0) {
        const ssize_t written = ::write(file.descriptor, next, count);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            reason = written < 0 ? std::strerror(errno) : "nothing written";
            return false;
        }
        next += written;
        count -= static_cast<size_t>(written);
    }
    return true;
}

int64_t seekNewFile(NewFile& file, int64_t offset, int whence) {
    return ::lseek(file.descriptor, static_cast<off_t>(offset), whence);
}

int64_t newFileSize(NewFile& file) {
    struct stat status;
    return ::fstat(file.descriptor, &status) == 0 ? status.st_size : -1;
}

bool keepNewFile(NewFile& file, std::string& reason) {
    const int descriptor = file.descriptor;
    file.descriptor = -1;
    if (::close(descriptor) != 0) reason = std::strerror(errno);
    else if (::rename(file.temporary.c_str(), file.path.c_str()) != 0) reason = std::strerror(errno);
    else {
        file.temporary.clear();
        return true;
    }
    dropNewFile(file);
    return false;
}

void dropNewFile(NewFile& file) {
    if (file.descriptor >= 0) ::close(file.descriptor);
    file.descriptor = -1;
    if (!file.temporary.empty()) ::unlink(file.temporary.c_str());
    file.temporary.clear();
}
