#include "download/IndexTokenizer.h"

namespace ostrel {
namespace {

constexpr int kDateField = 2;

// Which character read for a date is its separator: the 8th for a date with a
// one-digit first part (first '-' second), else the 9th.
std::size_t dateSeparatorPosition(const std::string& gathered) { return gathered.find('-') == 1 ? 8 : 9; }

}  // namespace

std::optional<IndexField> IndexTokenizer::next(bool abandonAtLast) {
    if (abandoned_ || pos_ >= bytes_.size()) return std::nullopt;
    IndexField field{number_, {}};
    std::size_t taken = 0;  // characters read for this field, its separator included
    while (pos_ < bytes_.size()) {
        if (abandonAtLast && pos_ + 1 == bytes_.size()) {
            abandoned_ = true;
            pos_ = bytes_.size();
            return std::nullopt;
        }
        const char c = bytes_[pos_++];
        ++taken;
        if (c == ' ') break;
        if (number_ == kDateField && taken == dateSeparatorPosition(field.text)) break;
        field.text += c;
    }
    number_ = (number_ + 1) % 3;
    return field;
}

}  // namespace ostrel
