// Whole-file reading and all-or-nothing writing (see file_io.h).
#include "file_io.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

std::vector<uint8_t> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw ToolError("cannot open '" + path + "': " + std::strerror(errno));
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw ToolError("cannot read '" + path + "'");
    return bytes;
}

void writeFileAtomic(const std::string& path, const std::vector<uint8_t>& bytes) {
    // The temporary name sits next to the target so that rename() never crosses file systems.
    const std::string tmp = path + ".tmp-zorbel";
    FILE* f = std::fopen(tmp.c_str(), "wb");
    if (!f) throw ToolError("cannot create '" + tmp + "': " + std::strerror(errno));
    bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = (std::fclose(f) == 0) && ok;
    if (!ok) {
        std::remove(tmp.c_str());
        throw ToolError("cannot write '" + tmp + "'");
    }
    if (std::rename(tmp.c_str(), path.c_str()) != 0) {
        const std::string why = std::strerror(errno);
        std::remove(tmp.c_str());
        throw ToolError("cannot rename '" + tmp + "' to '" + path + "': " + why);
    }
}

uint64_t fnv1a64(const std::vector<uint8_t>& bytes) {
    uint64_t h = 0xcbf29ce484222325ull;
    for (uint8_t b : bytes) {
        h ^= b;
        h *= 0x100000001b3ull;
    }
    return h;
}
