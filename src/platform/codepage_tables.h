// Code-page tables: the characters of bytes 0x80-0xFF.
#pragma once

namespace codepage_tables {
extern const char16_t kCp1251[128];
extern const char16_t kCp866[128];
} // namespace codepage_tables
