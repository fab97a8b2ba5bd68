#include "zones/sidebar_text.h"

#include <algorithm>
#include <cctype>

namespace {

size_t utf8Length(unsigned char lead) {
    if (lead >= 0xF0) return 4;
    if (lead >= 0xE0) return 3;
    if (lead >= 0xC0) return 2;
    return 1;
}

} // namespace

std::string accountInitials(const std::string& username) {
    if (username.empty()) return "?";
    std::string initials;
    size_t at = 0;
    for (int n = 0; n < 2 && at < username.size(); ++n) {
        const size_t length = std::min(utf8Length(static_cast<unsigned char>(username[at])), username.size() - at);
        std::string character = username.substr(at, length);
        if (length == 1) character[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(character[0])));
        // Latin-1 small letters à to þ (not ÷) are their capitals plus 0x20.
        const unsigned char second = length == 2 ? static_cast<unsigned char>(character[1]) : 0;
        if (length == 2 && character[0] == '\xC3' && second >= 0xA0 && second <= 0xBE && second != 0xB7)
            character[1] = static_cast<char>(second - 0x20);
        initials += character;
        at += length;
    }
    return initials;
}

std::string buttonText(const std::string& label) {
    std::string text;
    text.reserve(label.size());
    for (char c : label) {
        if (c == '#' && !text.empty() && text.back() == '#') text += ' ';
        text += c;
    }
    return text;
}
