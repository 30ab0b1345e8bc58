#pragma once

#include <cstdio>
#include <functional>
#include <string>

namespace tessary {

// Writes a file through a temporary file in the target's folder that is put in place of the
// target only after `write` succeeded and the data reached the disk. `write` gets the temporary
// file, open for writing in binary mode, and returns false when writing failed (errno set).
// Returns 0 on success, or the errno value of the first step that failed; any file at `path`
// is then left as it was. The name is UTF-8 (wide on Windows, where a file that is there is
// replaced in one step as well).
int ReplaceFileAtomically(const std::string& path, const std::function<bool(std::FILE*)>& write);

}  // namespace tessary
