#pragma once

#ifdef _WIN32

#include <string>

namespace tessary {

// A UTF-8 file name as Windows' wide-character calls take it (bytes that are not UTF-8 are
// taken one by one, as Latin-1, so that no name becomes empty).
std::wstring WideName(const std::string& utf8);

}  // namespace tessary

#endif
