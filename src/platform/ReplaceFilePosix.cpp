// ReplaceFileAtomically with the POSIX calls: mkstemp beside the target, the target's
// permissions, fsync, rename, and an fsync of the folder.

#ifndef _WIN32

#include "platform/ReplaceFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

namespace tessary {

int ReplaceFileAtomically(const std::string& path, const std::function<bool(std::FILE*)>& write) {
    namespace fs = std::filesystem;
    // The first step that fails names the reason; later clean-up must not overwrite it.
    int error = 0;
    auto fail = [&](int code) {
        if (error == 0) {
            error = code != 0 ? code : EIO;
        }
        return false;
    };
    const fs::path target(path);
    if (target.filename().empty()) {
        fail(EISDIR);
        return error;
    }
    fs::path folder = target.parent_path();
    if (folder.empty()) {
        folder = ".";
    }
    std::string temp = (folder / ("." + target.filename().string() + ".tmp-XXXXXX")).string();
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        fail(errno);
        return error;
    }
    // Keep the permissions of the file being replaced; a new file gets the usual ones.
    struct stat existing {};
    if (::stat(path.c_str(), &existing) == 0) {
        ::fchmod(fd, existing.st_mode & 07777);
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, 0666 & ~mask);
    }
    std::FILE* file = ::fdopen(fd, "wb");
    if (file == nullptr) {
        fail(errno);
        ::close(fd);
        ::unlink(temp.c_str());
        return error;
    }
    bool ok = write(file) || fail(errno);
    ok = ok && (std::ferror(file) == 0 || fail(errno)) &&
         (::fsync(::fileno(file)) == 0 || fail(errno));
    ok = (std::fclose(file) == 0 || fail(errno)) && ok;
    if (ok && std::rename(temp.c_str(), path.c_str()) != 0) {
        ok = fail(errno);
    }
    if (!ok) {
        ::unlink(temp.c_str());
        return error;
    }
    // Make the rename itself durable; the file is already complete either way.
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return 0;
}

}  // namespace tessary

#endif
