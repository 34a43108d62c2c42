// The run report.
#include "import/import_report.h"

namespace {

std::size_t IndexOf(TSkipReason reason) {
    return static_cast<std::size_t>(reason);
}

const char* ReasonCaption(TSkipReason reason) {
    switch (reason) {
    case TSkipReason::NoNumber:
        return "Координата не является числом";
    case TSkipReason::NoStyle:
        return "Для значения классификатора не задан стиль";
    case TSkipReason::ConversionFailed:
        return "Координаты не удалось преобразовать в систему базы данных";
    case TSkipReason::HostRefusedValue:
        return "База данных не приняла значение атрибута";
    case TSkipReason::NoHeight:
        return "Нет высоты точки";
    case TSkipReason::Malformed:
        return "Запись не читается";
    case TSkipReason::NotReducible:
        return "Измерение нельзя пересчитать в координаты";
    case TSkipReason::NoStation:
        return "Измерение без установленной станции";
    case TSkipReason::NoOrientation:
        return "Станция не ориентирована";
    case TSkipReason::NoDistance:
        return "Нет расстояния до точки";
    }
    return "";
}

} // namespace

AnsiString CountedNoun(std::int64_t count, std::string_view one, std::string_view few,
                       std::string_view many) {
    const std::int64_t n = count < 0 ? -count : count;
    const std::int64_t lastTwo = n % 100;
    const std::int64_t last = n % 10;
    std::string_view form = many;
    if (lastTwo < 11 || lastTwo > 14) {
        if (last == 1)
            form = one;
        else if (last >= 2 && last <= 4)
            form = few;
    }
    return Ansi(form);
}

void TImportReport::Clear() {
    *this = TImportReport();
}

void TImportReport::Add(TSkipReason reason, std::int64_t number, const AnsiString& detail) {
    TReasonCount& r = m_reasons[IndexOf(reason)];
    ++r.count;
    if (r.detail.empty())
        r.detail = detail;
    if (number > 0 && r.first.size() < kKeptNumbers)
        r.first.push_back(number);
}

void TImportReport::Merge(const TImportReport& other) {
    m_imported += other.m_imported;
    m_replacedCharacters += other.m_replacedCharacters;
    for (std::size_t i = 0; i < kSkipReasonCount; ++i) {
        TReasonCount& mine = m_reasons[i];
        const TReasonCount& theirs = other.m_reasons[i];
        mine.count += theirs.count;
        for (std::int64_t number : theirs.first)
            if (mine.first.size() < kKeptNumbers)
                mine.first.push_back(number);
        if (mine.detail.empty())
            mine.detail = theirs.detail;
    }
}

std::int64_t TImportReport::Count(TSkipReason reason) const {
    return m_reasons[IndexOf(reason)].count;
}

const std::vector<std::int64_t>& TImportReport::FirstNumbers(TSkipReason reason) const {
    return m_reasons[IndexOf(reason)].first;
}

const AnsiString& TImportReport::FirstDetail(TSkipReason reason) const {
    return m_reasons[IndexOf(reason)].detail;
}

bool TImportReport::Clean() const {
    for (const TReasonCount& r : m_reasons)
        if (r.count != 0)
            return false;
    return m_replacedCharacters == 0;
}

AnsiString TImportReport::SkippedText() const {
    AnsiString text;
    auto startLine = [&text] {
        if (!text.empty())
            text += "\r\n";
    };
    for (std::size_t i = 0; i < kSkipReasonCount; ++i) {
        const TReasonCount& r = m_reasons[i];
        if (r.count == 0)
            continue;
        startLine();
        text += Ansi(ReasonCaption(static_cast<TSkipReason>(i)));
        text += ": " + std::to_string(r.count) + ' ' +
                CountedNoun(r.count, "строка", "строки", "строк");
        if (!r.first.empty()) {
            text += " (";
            for (std::size_t k = 0; k < r.first.size(); ++k) {
                if (k != 0)
                    text += ", ";
                text += std::to_string(r.first[k]);
            }
            if (r.count > static_cast<std::int64_t>(r.first.size()))
                text += ", ...";
            text += ')';
        }
        if (!r.detail.empty())
            text += ". " + r.detail;
    }
    if (m_replacedCharacters != 0) {
        startLine();
        text += Ansi("Символы, которых нет в кодировке Windows-1251, заменены на \"?\": ") +
                std::to_string(m_replacedCharacters);
    }
    return text;
}
