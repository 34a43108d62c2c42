// Line parsers of survey records: the abstract parser and the SDR coordinate record parser.
#pragma once

#include "text/sub_string_info.h"

namespace SDRReader {

class TStringParser {
public:
    virtual ~TStringParser() = default;
    // True when the line is a record this parser accepts.
    virtual bool ParseLine(std::string_view line) = 0;

    std::size_t ValueCount() const { return m_values.size(); }
    // The i-th value of the last parsed line; an index out of range raises std::out_of_range.
    const TParsedValue& Value(std::size_t i) const { return m_values.at(i); }

protected:
    // Parses every definition (also after one has failed); true only if all were ok.
    bool ParseAllDefinitions(const TSubStringInfoList& list, std::string_view line);

private:
    std::vector<TParsedValue> m_values;
};

// A line of the SDR coordinate record: it starts with the code "08".
[[nodiscard]] inline bool IsSdrCoordinateRecord(std::string_view line) {
    return line.size() >= 2 && line[0] == '0' && line[1] == '8';
}

// The SDR coordinate record, code "08": number in 5-20, X in 21-36, Y in 37-52, Z in 53-68.
class TSdrParser final : public TStringParser {
public:
    TSdrParser();
    // Lines of other codes and records with a blank or non-numeric coordinate are rejected
    // silently; a rejected line leaves Number, X, Y and Z as they were.
    bool ParseLine(std::string_view line) override;

    const AnsiString& Number() const { return m_number; }
    double X() const { return m_x; }
    double Y() const { return m_y; }
    double Z() const { return m_z; }

private:
    TSubStringInfoList m_definitions;
    AnsiString m_number;
    double m_x = 0;
    double m_y = 0;
    double m_z = 0;
};

} // namespace SDRReader
