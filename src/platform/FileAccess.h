#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace tessary {

// Reading files by name. Names are UTF-8 on every system (on Windows they are converted to the
// system's wide names, so any file name can be opened); errors are errno values.

// Opens the file at `path` as std::fopen does with `mode` ("rb", "wb"...).
std::FILE* OpenFile(const std::string& path, const char* mode);

// Opens the file at `path` for reading, in binary mode, and gives its size in bytes. None, with
// errno set, when it cannot be opened or is a folder (EISDIR).
std::FILE* OpenForReading(const std::string& path, std::uint64_t& size);

// Reads the whole file at `path` into `text`, in as few reads as its size allows. False when it
// cannot be opened (a folder cannot) or a read fails; `text` is then left alone.
bool ReadWholeFile(const std::string& path, std::string& text);

// A temporary file open for reading and writing in binary mode, removed when it is closed;
// none, with errno set, when none can be made.
std::FILE* OpenScratchFile();

}  // namespace tessary
