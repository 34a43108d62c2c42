// What a run could not import, gathered for one report at its end: counts by reason with the
// first row or line numbers of each, beside the count of what was imported.
#pragma once

#include "platform/codepage.h"

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

enum class TSkipReason {
    // A coordinate that does not read as a number.
    NoNumber,
    // A classifier value without a style.
    NoStyle,
    // The conversion into database coordinates failed: the point is not written.
    ConversionFailed,
    // The host refused a value for a field; the object stays, without that value.
    HostRefusedValue,
    // The point has no height while the run writes heights.
    NoHeight,
    // A record of the format that does not read (a malformed word or field).
    Malformed,
    // An observation that cannot be reduced to coordinates for another reason than the three
    // below (an angle missing or in an unknown unit, a result out of range).
    NotReducible,
    // An observation before any station, or from a station that is not the one set up.
    NoStation,
    // An observation from a station whose circle has no orientation.
    NoOrientation,
    // An observation without a distance, or with a distance of zero.
    NoDistance,
};
inline constexpr std::size_t kSkipReasonCount = 10;

class TImportReport {
public:
    // How many row or line numbers each reason keeps.
    static constexpr std::size_t kKeptNumbers = 5;

    void Clear();
    void AddImported(std::int64_t count = 1) { m_imported += count; }
    // Counts one row or line for the reason (a 1-based number; 0 when it has none); the first
    // non-empty detail of a reason (the host's message) is kept for the report.
    void Add(TSkipReason reason, std::int64_t number, const AnsiString& detail = {});
    // Adds the counts of another report (the lines a file reader skipped).
    void Merge(const TImportReport& other);
    // Counts characters that the module's code page could not hold and that became "?".
    void AddReplacedCharacters(std::int64_t count) { m_replacedCharacters += count; }

    [[nodiscard]] std::int64_t Imported() const { return m_imported; }
    [[nodiscard]] std::int64_t Count(TSkipReason reason) const;
    [[nodiscard]] const std::vector<std::int64_t>& FirstNumbers(TSkipReason reason) const;
    [[nodiscard]] const AnsiString& FirstDetail(TSkipReason reason) const;
    [[nodiscard]] std::int64_t ReplacedCharacters() const { return m_replacedCharacters; }
    // Nothing was skipped or replaced.
    [[nodiscard]] bool Clean() const;

    // One line per reason that occurred, in the enumeration's order, e.g. "Координата не
    // является числом: 3 строки (2, 5, 9)" and the first detail after ". ", then the replaced
    // characters. Lines are separated by
    // "\r\n"; empty when nothing was skipped or replaced.
    [[nodiscard]] AnsiString SkippedText() const;

private:
    struct TReasonCount {
        std::int64_t count = 0;
        std::vector<std::int64_t> first;
        AnsiString detail;
    };
    std::int64_t m_imported = 0;
    std::array<TReasonCount, kSkipReasonCount> m_reasons;
    std::int64_t m_replacedCharacters = 0;
};

// The Russian form of a noun after a count: `one` for 1, 21, ...; `few` for 2-4, 22-24, ...;
// `many` for 0, 5-20, 25-30, ... ("1 объект", "3 объекта", "11 объектов").
[[nodiscard]] AnsiString CountedNoun(std::int64_t count, std::string_view one, std::string_view few,
                                     std::string_view many);
