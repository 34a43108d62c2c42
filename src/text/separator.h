// Splitting a line at a separator, for the point file reader.
#pragma once

#include "platform/codepage.h"

#include <string_view>

// `text` without leading and trailing characters of codes 0 to 32; a one-character separator
// is never removed even when its code is 32 or less (a tab separator survives).
[[nodiscard]] std::string_view TrimExceptSeparator(std::string_view text,
                                                   std::string_view separator);

// Splits at the first occurrence of `separator`: `head` is the trimmed text before it, `tail`
// the trimmed text after it. Without an occurrence `head` is the trimmed text and `tail` is
// empty. An empty separator is never found. The outputs may be the input itself:
// SplitAtSeparator(tail, ",", head, tail) reads the whole of `tail` before replacing it.
void SplitAtSeparator(std::string_view text, std::string_view separator, AnsiString& head,
                      AnsiString& tail);
// The same as views into `text`, for readers that split every line of a file.
void SplitAtSeparator(std::string_view text, std::string_view separator, std::string_view& head,
                      std::string_view& tail);
