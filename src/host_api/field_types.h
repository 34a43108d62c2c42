// The host's type codes of attribute fields (10 and 11 texts, 20-23 integers, 30-32 floating
// point, 40-42 dates and times) and the sets of codes an import writes into.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>

namespace FieldType {

inline constexpr std::int32_t kText = 10;
inline constexpr std::int32_t kLongText = 11;
inline constexpr std::int32_t kFirstInteger = 20;
inline constexpr std::int32_t kLastInteger = 23;
inline constexpr std::int32_t kFirstFloat = 30;
inline constexpr std::int32_t kLastFloat = 32;
inline constexpr std::int32_t kFirstDate = 40;
inline constexpr std::int32_t kLastDate = 42;

[[nodiscard]] constexpr bool IsInteger(std::int32_t code) {
    return code >= kFirstInteger && code <= kLastInteger;
}
[[nodiscard]] constexpr bool IsFloat(std::int32_t code) {
    return code >= kFirstFloat && code <= kLastFloat;
}

// The fields offered for a point's number or height: the texts and the integer and real kinds
// 20, 22, 23, 30 and 31.
inline constexpr std::array<std::int32_t, 7> kNumberTargets = {10, 20, 22, 30, 31, 11, 23};
// The fields offered for a free text (a PTS comment).
inline constexpr std::array<std::int32_t, 2> kTextTargets = {kText, kLongText};
// The fields offered for an import date: the texts and the date kinds.
inline constexpr std::array<std::int32_t, 5> kDateTargets = {10, 40, 41, 42, 11};

template <std::size_t N>
[[nodiscard]] constexpr bool IsOneOf(const std::array<std::int32_t, N>& codes, std::int32_t code) {
    return std::find(codes.begin(), codes.end(), code) != codes.end();
}

} // namespace FieldType
