// The column separator that delimited text suggests: for pasted text and for the first lines of
// a listed file, whose stored separator may not fit it.
#pragma once

#include "platform/codepage.h"

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

// Of tab, ";" and ",", the one that gives some line the most columns (the earlier one on a
// tie); nothing when none gives a line two columns.
[[nodiscard]] std::optional<char> DetectSeparator(const std::vector<std::string_view>& lines);

// The first `maxLines` lines of a text with CR LF, LF or CR line ends, as views into it.
[[nodiscard]] std::vector<std::string_view> LeadingLines(std::string_view text,
                                                         std::size_t maxLines);

// How many lines of a file the detection reads.
inline constexpr std::size_t kDetectedLines = 20;

// The separator a file's first lines suggest when `stored` does not split its header line (its
// first line that is not blank); nothing when the stored one does or nothing is suggested.
[[nodiscard]] std::optional<char> FileSeparatorOverride(std::string_view firstFileText,
                                                        char stored);
