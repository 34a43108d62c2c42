// Line parsers of survey records.
#include "sdr/sdr_parser.h"

#include "text/text_rules.h"

namespace SDRReader {

bool TStringParser::ParseAllDefinitions(const TSubStringInfoList& list, std::string_view line) {
    m_values.clear();
    m_values.reserve(list.Count());
    bool allOk = true;
    for (std::size_t i = 0; i < list.Count(); ++i) {
        bool ok = false;
        TParsedValue value;
        list.Items(i).ParseField(line, ok, value);
        m_values.push_back(std::move(value));
        allOk = allOk && ok;
    }
    return allOk;
}

TSdrParser::TSdrParser() {
    AddSubStringDefinitions(m_definitions, 5,
                            {{kFieldText, 5, 16},
                             {kFieldNumber, 21, 16},
                             {kFieldNumber, 37, 16},
                             {kFieldNumber, 53, 16}});
}

bool TSdrParser::ParseLine(std::string_view line) {
    if (line.size() < 2 || line.substr(0, 2) != "08")
        return false;
    if (!ParseAllDefinitions(m_definitions, line))
        return false;
    m_number = AnsiString(TrimControls(std::get<AnsiString>(Value(0))));
    m_x = std::get<double>(Value(1));
    m_y = std::get<double>(Value(2));
    m_z = std::get<double>(Value(3));
    return true;
}

} // namespace SDRReader
