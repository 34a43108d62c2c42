// Fixed-width fields of a text line.
#include "text/sub_string_info.h"

#include "text/number_text.h"
#include "text/text_rules.h"

// The number field rule: the stripped text is a decimal number with a point or a comma, or an
// integer in the runtime's form, which the decimal conversion then refuses.
void TSubStringInfo::ParseValue(std::string_view text, bool& ok, TParsedValue& value) const {
    ok = true;
    if (m_kind != kFieldNumber) {
        value = AnsiString(text);
        return;
    }
    const std::string_view stripped = TrimControls(text);
    if (const std::optional<double> number = ReadDecimal(stripped, kPointOrCommaForm)) {
        value = *number;
        return;
    }
    ok = ReadRuntimeInteger(stripped).has_value();
    if (ok) // passes only as a hexadecimal integer: the decimal conversion fails
        RaiseConvertError(stripped);
    value = AnsiString(text);
}

void TSubStringInfo::ParseField(std::string_view line, bool& ok, TParsedValue& value) const {
    std::string_view cut;
    if (m_start >= 1 && static_cast<std::size_t>(m_start) <= line.size() && m_length > 0)
        cut =
            line.substr(static_cast<std::size_t>(m_start) - 1, static_cast<std::size_t>(m_length));
    ParseValue(cut, ok, value);
}

void AddSubStringDefinitions(TSubStringInfoList& list, std::int32_t firstStart,
                             std::initializer_list<TSubStringDef> definitions) {
    std::int32_t position = firstStart;
    for (const TSubStringDef& d : definitions) {
        if (d.length <= 0)
            throw EUserError("Invalid definition");
        std::int32_t start = d.start > 0 ? d.start : position;
        list.Add(std::make_unique<TSubStringInfo>(d.kind, start, d.length));
        position += d.length;
    }
}
