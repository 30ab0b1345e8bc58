#include "edit/CombineDialogState.h"

#include <algorithm>
#include <charconv>
#include <utility>

namespace tessary {

CombineDialogState::CombineDialogState(CombineRequest request)
    : request_(std::move(request)), selected_(request_.names.size(), false) {}

void CombineDialogState::Toggle(std::size_t index) {
    if (index < selected_.size()) {
        selected_[index] = !selected_[index];
    }
}

void CombineDialogState::SetSelected(std::size_t index, bool on) {
    if (index < selected_.size()) {
        selected_[index] = on;
    }
}

bool CombineDialogState::IsSelected(std::size_t index) const {
    return index < selected_.size() && selected_[index];
}

std::size_t CombineDialogState::SelectedCount() const {
    return static_cast<std::size_t>(std::count(selected_.begin(), selected_.end(), true));
}

void CombineDialogState::SelectAll() {
    std::fill(selected_.begin(), selected_.end(), true);
}

void CombineDialogState::SelectNone() {
    std::fill(selected_.begin(), selected_.end(), false);
}

CombineChoice CombineDialogState::Combine() const {
    CombineChoice choice;
    choice.newName = newName;
    choice.addMode = addMode_;
    choice.selected.reserve(SelectedCount());
    for (std::size_t i = 0; i < selected_.size(); ++i) {
        if (selected_[i]) {
            choice.selected.push_back(i);
        }
    }
    return choice;
}

std::optional<std::size_t> CombineDialogState::FindEntry(std::string_view word) const {
    if (word.size() > 1 && word.front() == '#') {
        const std::string_view digits = word.substr(1);
        std::size_t index = 0;
        const auto [end, error] =
            std::from_chars(digits.data(), digits.data() + digits.size(), index);
        if (error == std::errc() && end == digits.data() + digits.size()) {
            if (index < request_.names.size()) {
                return index;
            }
            return std::nullopt;
        }
    }
    const auto found = std::find(request_.names.begin(), request_.names.end(), word);
    if (found == request_.names.end()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(found - request_.names.begin());
}

}  // namespace tessary
