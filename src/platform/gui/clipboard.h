// The system clipboard: plain text, and private formats as MIME types whose bytes keep the
// layout the format defines.
#pragma once

#include <optional>
#include <string>

class TClipboard {
public:
    // Puts the private bytes, and the plain text beside them when there is one, on the clipboard
    // in one change (whatever it held before is gone).
    static void SetData(const std::string& mimeType, const std::string& bytes,
                        const std::optional<std::u16string>& plainText);
    static void SetText(const std::u16string& text);
    [[nodiscard]] static bool HasFormat(const std::string& mimeType);
    // The bytes of a private format; nullopt when the clipboard has none.
    [[nodiscard]] static std::optional<std::string> GetData(const std::string& mimeType);
    // The plain text; empty when there is none.
    [[nodiscard]] static std::u16string GetText();
};
