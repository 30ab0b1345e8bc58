// Opening and reading files with the POSIX calls.

#ifndef _WIN32

#include "platform/FileAccess.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/HeapAdvice.h"

namespace tessary {

std::FILE* OpenFile(const std::string& path, const char* mode) {
    return std::fopen(path.c_str(), mode);
}

std::FILE* OpenScratchFile() {
    return std::tmpfile();
}

std::FILE* OpenForReading(const std::string& path, std::uint64_t& size) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return nullptr;
    }
    struct stat info {};
    if (::fstat(::fileno(file), &info) != 0 || S_ISDIR(info.st_mode)) {
        const int error = S_ISDIR(info.st_mode) ? EISDIR : errno;
        std::fclose(file);
        errno = error;
        return nullptr;
    }
    size = static_cast<std::uint64_t>(info.st_size);
    return file;
}

bool ReadWholeFile(const std::string& path, std::string& text) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    std::string bytes;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0) {
        // Advise before the first touch: fresh pages are expensive, huge ones much less so.
        bytes.reserve(static_cast<std::size_t>(info.st_size));
        AdviseHugePages(bytes.data(), bytes.capacity());
        bytes.resize(static_cast<std::size_t>(info.st_size));
    }
    std::size_t filled = 0;
    bool ok = true;
    for (;;) {
        if (filled == bytes.size()) {
            // Read the expected size exactly; only when more comes (the file grew, or its size
            // was not known) does the buffer grow, in larger steps.
            char probe[4096];
            const ssize_t more = ::read(fd, probe, sizeof probe);
            if (more < 0 && errno == EINTR) {
                continue;
            }
            if (more <= 0) {
                ok = more == 0;
                break;
            }
            bytes.resize(std::max<std::size_t>(bytes.size() * 2, 64 * 1024));
            std::memcpy(bytes.data() + filled, probe, static_cast<std::size_t>(more));
            filled += static_cast<std::size_t>(more);
            continue;
        }
        const ssize_t got = ::read(fd, bytes.data() + filled, bytes.size() - filled);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            ok = false;
            break;
        }
        if (got == 0) {
            break;
        }
        filled += static_cast<std::size_t>(got);
    }
    ::close(fd);
    if (!ok) {
        return false;
    }
    bytes.resize(filled);
    text = std::move(bytes);
    return true;
}

}  // namespace tessary

#endif
