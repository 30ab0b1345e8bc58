#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace tessary {

// File texts are bytes in whatever encoding the file's author used: shown as UTF-8 where they
// are valid UTF-8, as Latin-1 otherwise, so that every byte shows as some character.
QString DecodeText(std::string_view text);
// Text typed by the user or a path chosen in a dialog, as the core's bytes (UTF-8).
std::string EncodeText(const QString& text);

}  // namespace tessary
