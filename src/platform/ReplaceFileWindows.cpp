// ReplaceFileAtomically on Windows: the temporary file is made beside the target under a wide
// name and MoveFileEx puts it in place of the target in one step. A read-only target is
// refused.

#ifdef _WIN32

#include "platform/ReplaceFile.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>

#include "platform/WideNames.h"

namespace tessary {

int ReplaceFileAtomically(const std::string& path, const std::function<bool(std::FILE*)>& write) {
    int error = 0;
    auto fail = [&](int code) {
        if (error == 0) {
            error = code != 0 ? code : EIO;
        }
        return false;
    };
    const std::filesystem::path target(WideName(path));
    if (target.filename().empty()) {
        fail(EISDIR);
        return error;
    }
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if ((attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) != 0) {
            fail(EISDIR);
            return error;
        }
        if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
            fail(EACCES);
            return error;
        }
    }
    std::filesystem::path folder = target.parent_path();
    if (folder.empty()) {
        folder = L".";
    }
    // A short name from the process, the time and a counter, tried until one is free.
    static unsigned counter = 0;
    const unsigned seed = static_cast<unsigned>(GetCurrentProcessId()) * 7919u + GetTickCount();
    std::filesystem::path temp;
    int fd = -1;
    for (unsigned attempt = 0; attempt < 1000 && fd < 0; ++attempt) {
        temp = folder / (L".tsy-" + std::to_wstring((seed + ++counter) % 1000000u));
        fd = _wopen(temp.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                    _S_IREAD | _S_IWRITE);
        if (fd < 0 && errno != EEXIST) {
            break;
        }
    }
    if (fd < 0) {
        fail(errno);
        return error;
    }
    std::FILE* file = _fdopen(fd, "wb");
    if (file == nullptr) {
        fail(errno);
        _close(fd);
        _wremove(temp.c_str());
        return error;
    }
    bool ok = write(file) || fail(errno);
    ok = ok && (std::fflush(file) == 0 || fail(errno)) && (std::ferror(file) == 0 || fail(errno)) &&
         (_commit(_fileno(file)) == 0 || fail(errno));
    ok = (std::fclose(file) == 0 || fail(errno)) && ok;
    if (ok && MoveFileExW(temp.c_str(), target.c_str(),
                          MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) == 0) {
        // Another program holding the target open without sharing it is the usual cause.
        const DWORD code = GetLastError();
        ok = fail(code == ERROR_ACCESS_DENIED || code == ERROR_SHARING_VIOLATION ? EACCES : EIO);
    }
    if (!ok) {
        _wremove(temp.c_str());
        return error;
    }
    return 0;
}

}  // namespace tessary

#endif
