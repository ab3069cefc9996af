// A library the fault sweep preloads into the real program: it counts the calls that make
// or change files under one folder (an open for writing, and write, close, fsync on what
// such an open gave; rename and unlink of a name there) and fails the Nth of them.
//
//   ZORBEL_FAIL_UNDER  the folder, an absolute path; calls on anything else pass untouched
//   ZORBEL_FAIL_AT     the call to fail, counted from 1; 0 or unset fails none
//   ZORBEL_FAIL_TALLY  a file that gets the number of calls counted, when the program exits
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/types.h>
#include <unistd.h>

namespace {

constexpr int maxDescriptors = 4096;
std::atomic<bool> tracked[maxDescriptors];
std::atomic<long> calls{0};

const char* under() {
    static const char* folder = std::getenv("ZORBEL_FAIL_UNDER");
    return folder;
}

long failAt() {
    static const long at = std::getenv("ZORBEL_FAIL_AT") ? std::atol(std::getenv("ZORBEL_FAIL_AT")) : 0;
    return at;
}

bool inFolder(const char* path) {
    return under() != nullptr && path != nullptr && std::strncmp(path, under(), std::strlen(under())) == 0;
}

bool isTracked(int descriptor) { return descriptor >= 0 && descriptor < maxDescriptors && tracked[descriptor]; }

// Counts one call; true when this is the one to fail, which is then named on standard error.
bool failThisOne(const char* call, const char* path, int descriptor = -1) {
    if (++calls != failAt()) return false;
    static auto realWrite = reinterpret_cast<ssize_t (*)(int, const void*, size_t)>(dlsym(RTLD_NEXT, "write"));
    char named[512] = "";
    if (path == nullptr && descriptor >= 0) {  // the file the descriptor is open on
        char link[64];
        std::snprintf(link, sizeof link, "/proc/self/fd/%d", descriptor);
        const ssize_t size = readlink(link, named, sizeof named - 1);
        if (size > 0) named[size] = '\0';
        path = named;
    }
    char line[700];
    const int length = std::snprintf(line, sizeof line, "fail_nth: failing %s of %s (descriptor %d)\n", call,
                                     path != nullptr ? path : "-", descriptor);
    if (length > 0) realWrite(2, line, static_cast<size_t>(std::min<int>(length, sizeof line - 1)));
    return true;
}

template <typename Function>
Function next(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

int openAt(int folder, const char* path, int flags, mode_t mode) {
    static auto real = next<int (*)(int, const char*, int, ...)>("openat");
    const bool writing = (flags & (O_WRONLY | O_RDWR)) != 0 && inFolder(path);
    if (writing && failThisOne("open", path)) {
        errno = EACCES;
        return -1;
    }
    const int descriptor = real(folder, path, flags, mode);
    if (writing && descriptor >= 0 && descriptor < maxDescriptors) tracked[descriptor] = true;
    return descriptor;
}

struct Tally {
    ~Tally() {
        const char* path = std::getenv("ZORBEL_FAIL_TALLY");
        if (path == nullptr) return;
        if (std::FILE* file = std::fopen(path, "w")) {
            std::fprintf(file, "%ld\n", calls.load());
            std::fclose(file);
        }
    }
} tally;

}  // namespace

extern "C" {

int open(const char* path, int flags, ...) {
    mode_t mode = 0;
    if (flags & (O_CREAT | O_TMPFILE)) {
        va_list arguments;
        va_start(arguments, flags);
        mode = va_arg(arguments, mode_t);
        va_end(arguments);
    }
    return openAt(AT_FDCWD, path, flags, mode);
}

int open64(const char* path, int flags, ...) {
    mode_t mode = 0;
    if (flags & (O_CREAT | O_TMPFILE)) {
        va_list arguments;
        va_start(arguments, flags);
        mode = va_arg(arguments, mode_t);
        va_end(arguments);
    }
    return openAt(AT_FDCWD, path, flags, mode);
}

ssize_t write(int descriptor, const void* bytes, size_t count) {
    static auto real = next<ssize_t (*)(int, const void*, size_t)>("write");
    if (isTracked(descriptor) && failThisOne("write", nullptr, descriptor)) {
        errno = ENOSPC;
        return -1;
    }
    return real(descriptor, bytes, count);
}

int close(int descriptor) {
    static auto real = next<int (*)(int)>("close");
    const bool counted = isTracked(descriptor);
    if (counted) tracked[descriptor] = false;
    const int result = real(descriptor);
    if (counted && failThisOne("close", nullptr, descriptor)) {
        errno = EIO;  // closed all the same, as after a failed write-back
        return -1;
    }
    return result;
}

int fsync(int descriptor) {
    static auto real = next<int (*)(int)>("fsync");
    if (isTracked(descriptor) && failThisOne("fsync", nullptr, descriptor)) {
        errno = EIO;
        return -1;
    }
    return real(descriptor);
}

int rename(const char* from, const char* to) {
    static auto real = next<int (*)(const char*, const char*)>("rename");
    if ((inFolder(from) || inFolder(to)) && failThisOne("rename", to)) {
        errno = EXDEV;
        return -1;
    }
    return real(from, to);
}

int unlink(const char* path) {
    static auto real = next<int (*)(const char*)>("unlink");
    if (inFolder(path) && failThisOne("unlink", path)) {
        errno = EBUSY;
        return -1;
    }
    return real(path);
}

}  // extern "C"
