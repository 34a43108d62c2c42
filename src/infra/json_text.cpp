// The JSON adapter over nlohmann::json for Windows-1251 text.
#include "infra/json_text.h"

TJson ParseAnsiJson(std::string_view ansiText) {
    try {
        return TJson::parse(AnsiToUtf8(ansiText));
    } catch (const nlohmann::json::exception& e) {
        throw EJsonError(e.what());
    }
}

AnsiString DumpAnsiJson(const TJson& value, int indent) {
    return Utf8ToAnsi(value.dump(indent, ' ', false, nlohmann::json::error_handler_t::replace));
}

namespace {
const TJson* Member(const TJson& object, const char* key) {
    if (!object.is_object())
        throw EJsonError("JSON object expected");
    auto it = object.find(key);
    return it == object.end() ? nullptr : &*it;
}
} // namespace

AnsiString JsonText(const TJson& object, const char* key) {
    const TJson* value = Member(object, key);
    if (!value)
        throw EJsonError("Property \"" + AnsiString(key) + "\" not found");
    if (!value->is_string())
        throw EJsonError("Property \"" + AnsiString(key) + "\" is not a string");
    return Utf8ToAnsi(value->get_ref<const std::string&>());
}

AnsiString JsonText(const TJson& object, const char* key, const AnsiString& fallback) {
    const TJson* value = Member(object, key);
    if (!value || value->is_null())
        return fallback;
    if (!value->is_string())
        throw EJsonError("Property \"" + AnsiString(key) + "\" is not a string");
    return Utf8ToAnsi(value->get_ref<const std::string&>());
}

TJson JsonString(std::string_view ansiText) {
    return TJson(AnsiToUtf8(ansiText));
}
