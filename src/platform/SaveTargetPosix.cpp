// SaveTarget with the POSIX calls: links followed with readlink, mkostemp beside the target,
// its owner and mode, fsync, rename (or a copy over a file with other names), and an fsync of
// the folder.

#ifndef _WIN32

#include "platform/SaveTarget.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <optional>

namespace tessary {

namespace {

// Symbolic links followed in a row before the target counts as a loop.
constexpr int kMaxLinkHops = 40;

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The path with its last component's symbolic links followed; the file it names need not
// exist (a link to a file not yet written is written through). None on a loop or an error.
std::optional<std::string> FollowLinks(std::string path) {
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0) {
            if (errno == ENOENT) {
                return path;
            }
            return std::nullopt;
        }
        if (!S_ISLNK(info.st_mode)) {
            return path;
        }
        char link[PATH_MAX];
        const ssize_t length = ::readlink(path.c_str(), link, sizeof link);
        if (length <= 0 || static_cast<std::size_t>(length) >= sizeof link) {
            return std::nullopt;
        }
        std::string next(link, static_cast<std::size_t>(length));
        if (next.front() != '/' && path.find('/') != std::string::npos) {
            next = FolderOf(path) + "/" + next;
        }
        path = std::move(next);
    }
    return std::nullopt;
}

bool WriteAll(int fd, const char* bytes, std::size_t size, off_t offset) {
    while (size > 0) {
        const ssize_t done = ::pwrite(fd, bytes, size, offset);
        if (done < 0 && errno == EINTR) {
            continue;
        }
        if (done <= 0) {
            return false;
        }
        bytes += done;
        size -= static_cast<std::size_t>(done);
        offset += done;
    }
    return true;
}

}  // namespace

void SaveTarget::Discard() {
    if (stream_ != nullptr) {
        std::fclose(stream_);  // closes fd_ as well
        stream_ = nullptr;
        fd_ = -1;
    }
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!temporary_.empty()) {
        ::unlink(temporary_.c_str());
        temporary_.clear();
    }
}

bool SaveTarget::Open(const std::string& path) {
    Discard();
    error_ = 0;
    refusal_ = nullptr;
    std::optional<std::string> resolved = FollowLinks(path);
    if (!resolved) {
        return Fail(errno);
    }
    if (resolved->empty() || resolved->back() == '/') {
        return Fail(EISDIR);
    }
    resolved_ = std::move(*resolved);
    struct stat info {};
    exists_ = ::stat(resolved_.c_str(), &info) == 0;
    if (!exists_ && errno != ENOENT) {
        return Fail(errno);
    }
    if (exists_ && S_ISDIR(info.st_mode)) {
        return Fail(EISDIR);
    }
    if (exists_ && !S_ISREG(info.st_mode)) {
        refusal_ = "not a regular file";
        return false;
    }
    if (exists_ && ::faccessat(AT_FDCWD, resolved_.c_str(), W_OK, AT_EACCESS) != 0) {
        return Fail(errno);
    }

    folder_ = FolderOf(resolved_);
    temporary_ = folder_ + "/.tsy-XXXXXX";
    fd_ = ::mkostemp(temporary_.data(), O_CLOEXEC);
    if (fd_ < 0) {
        Fail(errno);
        temporary_.clear();
        return false;
    }
    if (!exists_) {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd_, 0666 & ~mask);
        copyOver_ = false;
        return true;
    }
    // Owner first: changing it clears the set-user and set-group bits that fchmod then sets.
    bool ownerKept = ::fchown(fd_, info.st_uid, info.st_gid) == 0;
    if (!ownerKept && ::fchown(fd_, static_cast<uid_t>(-1), info.st_gid) == 0) {
        ownerKept = info.st_uid == ::geteuid();
    }
    ::fchmod(fd_, info.st_mode & 07777);
    // A file with other names must keep its inode, and so must one whose owner the new file
    // could not be given: its content is copied over it instead.
    copyOver_ = info.st_nlink > 1 || !ownerKept;
    return true;
}

std::FILE* SaveTarget::Stream() {
    if (stream_ == nullptr && fd_ >= 0) {
        stream_ = ::fdopen(fd_, "wb");
        if (stream_ == nullptr) {
            Fail(errno);
        }
    }
    return stream_;
}

bool SaveTarget::Commit() {
    if (fd_ < 0) {
        return Fail(EBADF);
    }
    bool ok = true;
    if (stream_ != nullptr) {
        ok = (std::fflush(stream_) == 0 && std::ferror(stream_) == 0) || Fail(errno);
    }
    ok = ok && (::fsync(fd_) == 0 || Fail(errno));
    if (ok) {
        ok = copyOver_ ? CopyOverTarget()
                       : ::rename(temporary_.c_str(), resolved_.c_str()) == 0 || Fail(errno);
    }
    if (ok && !copyOver_) {
        temporary_.clear();  // it is the target now
        // Make the rename itself durable; the file is complete either way.
        const int folder = ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (folder >= 0) {
            ::fsync(folder);
            ::close(folder);
        }
    }
    Discard();
    return ok;
}

bool SaveTarget::CopyOverTarget() {
    struct stat info {};
    if (::fstat(fd_, &info) != 0) {
        return Fail(errno);
    }
    const off_t size = info.st_size;
    const int target = ::open(resolved_.c_str(), O_WRONLY | O_CLOEXEC);
    if (target < 0) {
        return Fail(errno);
    }
    // Room for the whole new text is taken before its first byte goes in, so that a full disk
    // stops the save while the target still holds its old text.
    bool ok = true;
    if (size > 0 && ::fallocate(target, FALLOC_FL_KEEP_SIZE, 0, size) != 0 && errno != EOPNOTSUPP &&
        errno != ENOSYS) {
        ok = Fail(errno);
    }
    char buffer[64 * 1024];
    for (off_t offset = 0; ok && offset < size;) {
        const ssize_t got = ::pread(fd_, buffer, sizeof buffer, offset);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            ok = Fail(errno);
            break;
        }
        ok = WriteAll(target, buffer, static_cast<std::size_t>(got), offset) || Fail(errno);
        offset += got;
    }
    ok = ok && ((::ftruncate(target, size) == 0 && ::fsync(target) == 0) || Fail(errno));
    ok = (::close(target) == 0 || Fail(errno)) && ok;
    return ok;
}

}  // namespace tessary

#endif
