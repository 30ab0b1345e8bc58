#include "model/Names.h"

namespace tessary {

std::string_view BaseName(std::string_view name) {
    const std::size_t colon = name.rfind(':');
    return colon == std::string_view::npos ? name : name.substr(0, colon);
}

std::string_view NameSuffix(std::string_view name) {
    const std::size_t colon = name.rfind(':');
    return colon == std::string_view::npos ? std::string_view() : name.substr(colon + 1);
}

std::string_view PathParent(std::string_view path) {
    const std::size_t bar = path.rfind('|');
    return bar == std::string_view::npos ? std::string_view() : path.substr(0, bar);
}

bool FitsInLine(std::string_view text) {
    return text.find_first_of(std::string_view("{}\r\n\0", 5)) == std::string_view::npos;
}

}  // namespace tessary
