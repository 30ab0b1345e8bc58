// Opening and reading files on Windows: names are UTF-8 here and wide characters there.

#ifdef _WIN32

#include "platform/FileAccess.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <cerrno>

#include "platform/WideNames.h"

namespace tessary {

std::wstring WideName(const std::string& utf8) {
    if (utf8.empty()) {
        return std::wstring();
    }
    const int size = static_cast<int>(utf8.size());
    int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, nullptr, 0);
    if (length <= 0) {
        return std::wstring(utf8.begin(), utf8.end());
    }
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, wide.data(), length);
    return wide;
}

std::FILE* OpenFile(const std::string& path, const char* mode) {
    const std::string narrow(mode);
    return _wfopen(WideName(path).c_str(), std::wstring(narrow.begin(), narrow.end()).c_str());
}

std::FILE* OpenScratchFile() {
    // In the user's temporary folder: std::tmpfile would try the root of the drive.
    wchar_t folder[MAX_PATH + 1];
    wchar_t name[MAX_PATH + 1];
    if (GetTempPathW(MAX_PATH + 1, folder) == 0 || GetTempFileNameW(folder, L"tsy", 0, name) == 0) {
        errno = EACCES;
        return nullptr;
    }
    const HANDLE handle =
        CreateFileW(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                    FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        DeleteFileW(name);
        errno = EACCES;
        return nullptr;
    }
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDWR | _O_BINARY);
    if (fd < 0) {
        CloseHandle(handle);
        return nullptr;
    }
    std::FILE* file = _fdopen(fd, "w+b");
    if (file == nullptr) {
        _close(fd);
    }
    return file;
}

std::FILE* OpenForReading(const std::string& path, std::uint64_t& size) {
    const std::wstring name = WideName(path);
    struct _stat64 info {};
    if (_wstat64(name.c_str(), &info) == 0 && (info.st_mode & _S_IFDIR) != 0) {
        errno = EISDIR;
        return nullptr;
    }
    std::FILE* file = _wfopen(name.c_str(), L"rb");
    if (file == nullptr) {
        return nullptr;
    }
    if (_fstat64(_fileno(file), &info) != 0) {
        const int error = errno;
        std::fclose(file);
        errno = error;
        return nullptr;
    }
    size = static_cast<std::uint64_t>(info.st_size);
    return file;
}

bool ReadWholeFile(const std::string& path, std::string& text) {
    std::uint64_t size = 0;
    std::FILE* file = OpenForReading(path, size);
    if (file == nullptr) {
        return false;
    }
    std::string bytes(static_cast<std::size_t>(size), '\0');
    std::size_t filled = std::fread(bytes.data(), 1, bytes.size(), file);
    // A file that grew since its size was taken is read to its end.
    char more[64 * 1024];
    while (filled == bytes.size()) {
        const std::size_t got = std::fread(more, 1, sizeof more, file);
        if (got == 0) {
            break;
        }
        bytes.append(more, got);
        filled = bytes.size();
    }
    const bool ok = std::ferror(file) == 0;
    std::fclose(file);
    if (!ok) {
        return false;
    }
    bytes.resize(filled);
    text = std::move(bytes);
    return true;
}

}  // namespace tessary

#endif
