#include "bstr.h"

#include <cstdlib>
#include <cstring>

BSTR SysAllocString(const OLECHAR* text) noexcept {
    if (!text)
        return nullptr;
    return SysAllocStringLen(text,
                             static_cast<std::uint32_t>(std::char_traits<char16_t>::length(text)));
}

BSTR SysAllocStringLen(const OLECHAR* text, std::uint32_t length) noexcept {
    // The byte length must fit its 32-bit prefix.
    if (length > (UINT32_MAX - sizeof(std::uint32_t)) / sizeof(OLECHAR) - 1)
        return nullptr;
    auto* block =
        static_cast<char*>(std::malloc(sizeof(std::uint32_t) + (length + 1) * sizeof(OLECHAR)));
    if (!block)
        return nullptr;
    const std::uint32_t bytes = length * sizeof(OLECHAR);
    std::memcpy(block, &bytes, sizeof bytes);
    auto* chars = reinterpret_cast<OLECHAR*>(block + sizeof(std::uint32_t));
    if (text)
        std::memcpy(chars, text, bytes);
    else
        std::memset(chars, 0, bytes);
    chars[length] = 0;
    return chars;
}

void SysFreeString(BSTR text) noexcept {
    if (text)
        std::free(reinterpret_cast<char*>(text) - sizeof(std::uint32_t));
}

std::uint32_t SysStringLen(BSTR text) noexcept {
    if (!text)
        return 0;
    std::uint32_t bytes;
    std::memcpy(&bytes, reinterpret_cast<char*>(text) - sizeof(std::uint32_t), sizeof bytes);
    return bytes / sizeof(OLECHAR);
}
