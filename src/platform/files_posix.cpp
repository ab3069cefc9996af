#include "platform/files.h"

#include <climits>
#include <filesystem>
#include <system_error>
#include <unistd.h>

bool directoryExists(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_directory(path, error);
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
