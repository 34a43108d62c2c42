// A thin adapter over nlohmann::json for Windows-1251 text: JSON texts and string values cross
// into the module as Windows-1251, the JSON model itself holds UTF-8.
#pragma once

#include "platform/exception.h"

#include <nlohmann/json.hpp>

using TJson = nlohmann::ordered_json;

// A failure of the JSON model: bad JSON text, a missing key ("Property \"%s\" not found"), a
// value of the wrong kind.
class EJsonError : public EUserError {
public:
    using EUserError::EUserError;
};

[[nodiscard]] TJson ParseAnsiJson(std::string_view ansiText);
[[nodiscard]] AnsiString DumpAnsiJson(const TJson& value, int indent = -1);

// A text value: the key must be present and hold a text.
[[nodiscard]] AnsiString JsonText(const TJson& object, const char* key);
// A text value that may be absent.
[[nodiscard]] AnsiString JsonText(const TJson& object, const char* key, const AnsiString& fallback);
// A JSON string value for a Windows-1251 text.
[[nodiscard]] TJson JsonString(std::string_view ansiText);
