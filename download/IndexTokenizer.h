#pragma once
// The fields of the catalogue index "rz.txt", read one character at a time.
// Fields are numbered 0, 1, 2, 0, ... (full path, preview path, date). A space
// ends a field and is dropped; the end of the file ends the field being read;
// every other character, line breaks included, belongs to the field. The date
// also ends by count: it is 7 characters long when its first '-' is its second
// character (1-01-06), else 8 (12-01-06), and the one character after it is
// dropped as the separator whatever it is, so the line feed that ends a
// record's line never reaches the next field.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace ostrel {

struct IndexField {
    int number = 0;  // 0 full path, 1 preview path, 2 date
    std::string text;
};

class IndexTokenizer {
public:
    explicit IndexTokenizer(std::string_view bytes) : bytes_(bytes) {}

    // The next field; nullopt once the bytes are used up. With abandonAtLast,
    // coming to the last byte ends the reading there: that byte and the field
    // it belongs to are dropped, and abandoned() answers true from then on.
    std::optional<IndexField> next(bool abandonAtLast = false);

    bool abandoned() const { return abandoned_; }

private:
    std::string_view bytes_;
    std::size_t pos_ = 0;
    int number_ = 0;
    bool abandoned_ = false;
};

}  // namespace ostrel
