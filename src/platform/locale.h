// The user's regional number settings, set once by the module (or by a test) and read wherever
// a number is shown to the user.
#pragma once

namespace locale_detail {
inline char& DecimalSeparatorStorage() {
    static char separator = '.';
    return separator;
}
} // namespace locale_detail

// The decimal separator of the user's regional settings; '.' until set.
inline char DecimalSeparator() {
    return locale_detail::DecimalSeparatorStorage();
}
inline void SetDecimalSeparator(char separator) {
    locale_detail::DecimalSeparatorStorage() = separator;
}
