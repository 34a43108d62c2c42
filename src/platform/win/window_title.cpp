// The title of a host window on Windows, read with GetWindowTextW.
#include "platform/gui/window.h"

#include <string>

AnsiString GetWindowTitle(HWND window, std::size_t maxLength) {
    if (!window || !IsWindow(window))
        return {};
    std::wstring text(maxLength + 1, L'\0');
    const int length = GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
    text.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
    return WideToAnsi(
        std::u16string_view(reinterpret_cast<const char16_t*>(text.data()), text.size()));
}
