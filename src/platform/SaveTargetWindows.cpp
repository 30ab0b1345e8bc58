// SaveTarget on Windows: names are UTF-8 here and wide characters there. The temporary file is
// made beside the target with _wopen, made durable with _commit (FlushFileBuffers) and put in
// place of the target by MoveFileExW in one step. A link is followed to the file it names, a
// target that is not a disk file (a device such as NUL or COM1) or is read-only is refused, and
// a file with other hard links gets the new content copied over it.

#ifdef _WIN32

#include "platform/SaveTarget.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <optional>

#include "platform/WideNames.h"

namespace tessary {

namespace {

// The errno value closest to a Windows error code, so that Reason() words it as elsewhere.
int ErrnoOf(DWORD code) {
    switch (code) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
        case ERROR_BAD_PATHNAME:
        case ERROR_INVALID_DRIVE:
            return ENOENT;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
        case ERROR_WRITE_PROTECT:
            return EACCES;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return ENOSPC;
        case ERROR_NOT_ENOUGH_MEMORY:
        case ERROR_OUTOFMEMORY:
            return ENOMEM;
        case ERROR_FILENAME_EXCED_RANGE:
            return ENAMETOOLONG;
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS:
            return EEXIST;
        default:
            return EIO;
    }
}

std::string Utf8Name(const std::wstring& wide) {
    if (wide.empty()) {
        return std::string();
    }
    const int size = static_cast<int>(wide.size());
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, utf8.data(), length, nullptr, nullptr);
    return utf8;
}

bool IsSeparator(char c) {
    return c == '/' || c == '\\';
}

// The folder part of a path, kept as it is written ("C:\" and "\" stay roots).
std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    if (slash == std::string::npos) {
        return path.size() >= 2 && path[1] == ':' ? path.substr(0, 2) : ".";
    }
    if (slash == 0 || (slash == 2 && path[1] == ':')) {
        return path.substr(0, slash + 1);
    }
    return path.substr(0, slash);
}

// The file a link at `path` names (the final path of what it opens), or `path` itself when it
// is no link or does not exist. None on an error, with errno set.
std::optional<std::string> FollowLinks(const std::string& path) {
    const std::wstring wide = WideName(path);
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
        return path;
    }
    const HANDLE handle =
        CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        errno = ErrnoOf(GetLastError());
        return std::nullopt;
    }
    wchar_t final[32768];
    const DWORD length = GetFinalPathNameByHandleW(handle, final, 32768, FILE_NAME_NORMALIZED);
    CloseHandle(handle);
    if (length == 0 || length >= 32768) {
        errno = EIO;
        return std::nullopt;
    }
    return Utf8Name(std::wstring(final, length));
}

// A short name for the temporary file: six characters from the process, the time and a count.
std::string TemporaryName(unsigned attempt) {
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    static unsigned counter = 0;
    unsigned value = static_cast<unsigned>(GetCurrentProcessId()) * 7919u + GetTickCount() +
                     ++counter * 104729u + attempt;
    std::string name = ".tsy-";
    for (int i = 0; i < 6; ++i) {
        name += kLetters[value % 36];
        value /= 36;
    }
    return name;
}

}  // namespace

void SaveTarget::Discard() {
    if (stream_ != nullptr) {
        std::fclose(stream_);  // closes fd_ as well
        stream_ = nullptr;
        fd_ = -1;
    }
    if (fd_ >= 0) {
        _close(fd_);
        fd_ = -1;
    }
    if (!temporary_.empty()) {
        _wremove(WideName(temporary_).c_str());
        temporary_.clear();
    }
}

bool SaveTarget::Open(const std::string& path) {
    Discard();
    error_ = 0;
    refusal_ = nullptr;
    if (path.empty() || IsSeparator(path.back())) {
        return Fail(EISDIR);
    }
    std::optional<std::string> resolved = FollowLinks(path);
    if (!resolved) {
        return Fail(errno);
    }
    resolved_ = std::move(*resolved);
    const std::wstring target = WideName(resolved_);
    const DWORD attributes = GetFileAttributesW(target.c_str());
    exists_ = attributes != INVALID_FILE_ATTRIBUTES;
    if (!exists_ && GetLastError() != ERROR_FILE_NOT_FOUND) {
        return Fail(ErrnoOf(GetLastError()));
    }
    if (exists_ && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return Fail(EISDIR);
    }
    copyOver_ = false;
    if (exists_) {
        if ((attributes & FILE_ATTRIBUTE_DEVICE) != 0) {
            refusal_ = "not a regular file";
            return false;
        }
        if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
            return Fail(EACCES);
        }
        // Opening it for writing tells a device from a disk file, finds a file another
        // program holds without sharing, and counts its names.
        const HANDLE handle = CreateFileW(target.c_str(), GENERIC_WRITE,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            return Fail(ErrnoOf(GetLastError()));
        }
        BY_HANDLE_FILE_INFORMATION info{};
        const bool disk = GetFileType(handle) == FILE_TYPE_DISK;
        const bool known = disk && GetFileInformationByHandle(handle, &info) != 0;
        CloseHandle(handle);
        if (!disk) {
            refusal_ = "not a regular file";
            return false;
        }
        copyOver_ = known && info.nNumberOfLinks > 1;
    }

    folder_ = FolderOf(resolved_);
    const std::string prefix =
        folder_.empty() || IsSeparator(folder_.back()) || folder_.back() == ':' ? folder_
                                                                                : folder_ + "\\";
    for (unsigned attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
        temporary_ = prefix + TemporaryName(attempt);
        fd_ =
            _wopen(WideName(temporary_).c_str(),
                   _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT, _S_IREAD | _S_IWRITE);
        if (fd_ < 0 && errno != EEXIST) {
            break;
        }
    }
    if (fd_ < 0) {
        Fail(errno);
        temporary_.clear();
        return false;
    }
    return true;
}

std::FILE* SaveTarget::Stream() {
    if (stream_ == nullptr && fd_ >= 0) {
        stream_ = _fdopen(fd_, "wb");
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
    ok = ok && (_commit(fd_) == 0 || Fail(errno));
    if (ok && copyOver_) {
        ok = CopyOverTarget();
    }
    // A file that is open cannot be renamed here: the temporary file is closed first.
    if (stream_ != nullptr) {
        ok = (std::fclose(stream_) == 0 || Fail(errno)) && ok;
        stream_ = nullptr;
    } else {
        ok = (_close(fd_) == 0 || Fail(errno)) && ok;
    }
    fd_ = -1;
    if (ok && !copyOver_) {
        if (MoveFileExW(WideName(temporary_).c_str(), WideName(resolved_).c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0) {
            temporary_.clear();  // it is the target now
        } else {
            // Another program holding the target open without sharing it is the usual cause.
            ok = Fail(ErrnoOf(GetLastError()));
        }
    }
    Discard();
    return ok;
}

bool SaveTarget::CopyOverTarget() {
    const __int64 size = _lseeki64(fd_, 0, SEEK_END);
    if (size < 0 || _lseeki64(fd_, 0, SEEK_SET) != 0) {
        return Fail(errno);
    }
    // The temporary file was opened for writing only; it is read back through a second handle.
    const HANDLE source =
        CreateFileW(WideName(temporary_).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (source == INVALID_HANDLE_VALUE) {
        return Fail(ErrnoOf(GetLastError()));
    }
    const HANDLE target = CreateFileW(WideName(resolved_).c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                      nullptr, OPEN_EXISTING, 0, nullptr);
    if (target == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        CloseHandle(source);
        return Fail(ErrnoOf(code));
    }
    bool ok = true;
    // Room for the whole new text is taken before its first byte goes in, so that a full disk
    // stops the save while the target still holds its old text.
    LARGE_INTEGER end{};
    LARGE_INTEGER start{};
    LARGE_INTEGER here{};
    end.QuadPart = size;
    LARGE_INTEGER old{};
    GetFileSizeEx(target, &old);
    if (size > old.QuadPart) {
        ok = (SetFilePointerEx(target, end, nullptr, FILE_BEGIN) != 0 &&
              SetEndOfFile(target) != 0) ||
             Fail(ErrnoOf(GetLastError()));
    }
    ok = ok && (SetFilePointerEx(target, start, &here, FILE_BEGIN) != 0 || Fail(EIO));
    char buffer[64 * 1024];
    while (ok) {
        DWORD got = 0;
        if (ReadFile(source, buffer, sizeof buffer, &got, nullptr) == 0) {
            ok = Fail(ErrnoOf(GetLastError()));
            break;
        }
        if (got == 0) {
            break;
        }
        DWORD written = 0;
        ok = (WriteFile(target, buffer, got, &written, nullptr) != 0 && written == got) ||
             Fail(ErrnoOf(GetLastError()));
    }
    ok = ok && ((SetFilePointerEx(target, end, nullptr, FILE_BEGIN) != 0 &&
                 SetEndOfFile(target) != 0 && FlushFileBuffers(target) != 0) ||
                Fail(ErrnoOf(GetLastError())));
    CloseHandle(source);
    ok = (CloseHandle(target) != 0 || Fail(EIO)) && ok;
    return ok;
}

}  // namespace tessary

#endif
