#include "coords/transform_data.h"

#include "platform/locale.h"
#include "text/number_text.h"

#include <cassert>
#include <cmath>
#include <istream>
#include <numbers>
#include <ostream>
#include <sstream>

void TTransformItem::Changed() {
    if (m_owner)
        m_owner->Changed();
}

// --- two-parameter steps -------------------------------------------------------------------

AnsiString TTransformPairItem::GetParams() const {
    const char sep = DecimalSeparator();
    return FormatGeneral(m_first, 15, sep) + " " + FormatGeneral(m_second, 15, sep);
}

void TTransformPairItem::SetParams(std::string_view text) {
    // Split at the first space: a missing space leaves the first number empty, which fails.
    const size_t space = text.find(' ');
    std::string_view first =
        space == std::string_view::npos ? std::string_view() : text.substr(0, space);
    std::string_view second = space == std::string_view::npos ? text : text.substr(space + 1);
    const double a = ReadDecimalOrRaise(first, kPointOrCommaForm);
    const double b = ReadDecimalOrRaise(second, kPointOrCommaForm);
    m_first = a;
    m_second = b;
    Changed();
}

void TTransformPairItem::SetFirst(double value) {
    m_first = value;
    Changed();
}

void TTransformPairItem::SetSecond(double value) {
    m_second = value;
    Changed();
}

AnsiString TTransformPairItem::Describe(const char* utf8Prefix) const {
    const char sep = DecimalSeparator();
    return Ansi(utf8Prefix) + Ansi(": по X = ") + FormatFixed(m_first, 2, sep) + Ansi("; по Y = ") +
           FormatFixed(m_second, 2, sep);
}

std::unique_ptr<TTransformItem> TTransformTranslationItem::Clone() const {
    return std::make_unique<TTransformTranslationItem>(m_first, m_second);
}
void TTransformTranslationItem::ApplyTo(TTransformMatrix& matrix) const {
    TTransformMatrix step;
    step.tx = m_first;
    step.ty = m_second;
    matrix.Compose(step);
}
AnsiString TTransformTranslationItem::GetDescription() const {
    return Describe("Смещение");
}

std::unique_ptr<TTransformItem> TTransformScalingItem::Clone() const {
    return std::make_unique<TTransformScalingItem>(m_first, m_second);
}
void TTransformScalingItem::ApplyTo(TTransformMatrix& matrix) const {
    TTransformMatrix step;
    step.a = m_first;
    step.d = m_second;
    matrix.Compose(step);
}
AnsiString TTransformScalingItem::GetDescription() const {
    return Describe("Увел./Сжатие");
}

std::unique_ptr<TTransformItem> TTransformShearItem::Clone() const {
    return std::make_unique<TTransformShearItem>(m_first, m_second);
}
void TTransformShearItem::ApplyTo(TTransformMatrix& matrix) const {
    // The crossing is intended: ShearX tilts the image of the X axis, so it enters y'.
    TTransformMatrix step;
    step.b = m_second;
    step.c = m_first;
    matrix.Compose(step);
}
AnsiString TTransformShearItem::GetDescription() const {
    return Describe("Сдвиг");
}

// --- rotation --------------------------------------------------------------------------------

void TTransformRotationItem::SetAngle(double v) {
    m_angle = v;
    Changed();
}
std::unique_ptr<TTransformItem> TTransformRotationItem::Clone() const {
    return std::make_unique<TTransformRotationItem>(m_angle);
}
void TTransformRotationItem::ApplyTo(TTransformMatrix& matrix) const {
    const long double angle = m_angle;
    TTransformMatrix step;
    step.a = std::cos(angle);
    step.b = -std::sin(angle);
    step.c = std::sin(angle);
    step.d = std::cos(angle);
    matrix.Compose(step);
}
AnsiString TTransformRotationItem::GetDescription() const {
    return Ansi("Поворот: Угол = ") + FormatAngleDMS(m_angle);
}
AnsiString TTransformRotationItem::GetParams() const {
    return FormatGeneral(m_angle, 15, DecimalSeparator());
}
void TTransformRotationItem::SetParams(std::string_view text) {
    m_angle = ReadDecimalOrRaise(text, kPointOrCommaForm);
    Changed();
}

std::unique_ptr<TTransformItem> CreateTransformItemByType(std::string_view word) {
    if (word == "T")
        return std::make_unique<TTransformTranslationItem>();
    if (word == "S")
        return std::make_unique<TTransformScalingItem>();
    if (word == "R")
        return std::make_unique<TTransformRotationItem>();
    if (word == "Shear")
        return std::make_unique<TTransformShearItem>();
    throw Exception(Ansi("Внутренняя ошибка: ") + Ansi("Ошибка конвертации") + " (" +
                    "CreateTransformItemByType" + ")");
}

AnsiString FormatAngleDMS(double angle) {
    constexpr double kTwoPi = 2 * std::numbers::pi;
    // Whole turns beyond any sensible angle are dropped first (fmod is exact), so the integer
    // parts below cannot overflow; a value that is not a number shows as no turn at all.
    if (!std::isfinite(angle))
        angle = 0;
    if (std::fabs(angle) >= kTwoPi * 1e6)
        angle = std::fmod(angle, kTwoPi);
    if (angle < 0)
        angle += (std::floor(std::fabs(angle / kTwoPi)) + 1) * kTwoPi;
    const double deg = angle * 180 / std::numbers::pi;
    long long d = static_cast<long long>(std::trunc(deg));
    const double minutes = (deg - std::trunc(deg)) * 60;
    long long m = static_cast<long long>(std::trunc(minutes));
    // Halves to even, as the default rounding mode does.
    long long s = static_cast<long long>(std::nearbyint((minutes - std::trunc(minutes)) * 60));
    if (s >= 60) {
        m += s / 60;
        s %= 60;
    }
    if (m >= 60) {
        d += m / 60;
        m %= 60;
    }
    d %= 360;
    auto two = [](long long v) { return (v < 10 ? "0" : "") + std::to_string(v); };
    AnsiString text = std::to_string(d) + "\xB0";
    if (m != 0 && s == 0)
        text += two(m) + "'";
    if (s != 0)
        text += two(m) + "'" + two(s) + "\"";
    return text;
}

// --- the chain -------------------------------------------------------------------------------

void TTransformData::Add(std::unique_ptr<TTransformItem> item) {
    item->m_owner = this;
    m_items.push_back(std::move(item));
    Changed();
}

void TTransformData::Delete(int index) {
    (void)m_items.at(index); // range check
    m_items.erase(m_items.begin() + index);
    Changed();
}

void TTransformData::Clear() {
    BeginUpdate();
    if (!m_items.empty()) {
        m_items.clear();
        Changed();
    }
    EndUpdate();
}

void TTransformData::Assign(const TTransformData& source) {
    if (&source == this)
        return;
    BeginUpdate();
    try {
        Clear();
        for (const auto& item : source.m_items)
            Add(item->Clone());
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TTransformData::Exchange(int i, int j) {
    if (i == j)
        return;
    std::swap(m_items.at(i), m_items.at(j));
    Changed();
}

void TTransformData::ApplyTo(TTransformMatrix& matrix) const {
    for (const auto& item : m_items)
        item->ApplyTo(matrix);
}

TTransformMatrix TTransformData::Matrix() const {
    TTransformMatrix matrix = TTransformMatrix::Identity();
    ApplyTo(matrix);
    return matrix;
}

void TTransformData::BeginUpdate() {
    // Only the outermost bracket starts with a clean flag: resetting it in a nested one would
    // lose a change made earlier in the outer bracket.
    if (m_updateCount++ == 0)
        m_changedWhileUpdating = false;
}

void TTransformData::EndUpdate() {
    assert(m_updateCount > 0 && "EndUpdate without BeginUpdate");
    if (m_updateCount <= 0)
        return;
    if (--m_updateCount == 0 && m_changedWhileUpdating) {
        m_changedWhileUpdating = false;
        if (m_onChange)
            m_onChange(*this);
    }
}

void TTransformData::Changed() {
    if (!m_onChange)
        return;
    m_changedWhileUpdating = true;
    if (m_updateCount == 0) {
        m_changedWhileUpdating = false;
        m_onChange(*this);
    }
}

void TTransformData::SaveToStream(std::ostream& stream) const {
    stream << SaveToText();
}

AnsiString TTransformData::SaveToText() const {
    AnsiString text = "<";
    for (const auto& item : m_items)
        text += AnsiString(item->TypeWord()) + "(" + item->GetParams() + ")";
    return text + ">";
}

void TTransformData::LoadFromStream(std::istream& stream) {
    auto readByte = [&stream]() {
        const int c = stream.get();
        if (c == std::char_traits<char>::eof())
            throw EUserError("Stream read error");
        return static_cast<char>(c);
    };
    BeginUpdate();
    try {
        Clear();
        if (readByte() != '<')
            throw EUserError(Ansi("Ошибка при считывании трансформации. Ожидается \"<\""));
        for (;;) {
            char c = readByte();
            if (c == '>')
                break;
            AnsiString word(1, c);
            while ((c = readByte()) != '(')
                word += c;
            auto item = CreateTransformItemByType(word);
            AnsiString params;
            while ((c = readByte()) != ')')
                params += c;
            item->SetParams(params);
            Add(std::move(item));
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TTransformData::LoadFromText(std::string_view text) {
    std::istringstream stream{std::string(text)};
    LoadFromStream(stream);
}

std::string EncodeTransformClipboardBlock(const TTransformData& chain) {
    const AnsiString text = chain.SaveToText();
    const auto n = static_cast<std::uint32_t>(text.size());
    std::string block;
    for (int i = 0; i < 4; ++i)
        block += static_cast<char>((n >> (8 * i)) & 0xFF);
    return block + text;
}

void DecodeTransformClipboardBlock(std::string_view block, TTransformData& target) {
    if (block.size() < 4)
        throw EUserError("Stream read error");
    std::uint32_t n = 0;
    for (int i = 0; i < 4; ++i)
        n |= static_cast<std::uint32_t>(static_cast<unsigned char>(block[i])) << (8 * i);
    if (block.size() - 4 < n)
        throw EUserError("Stream read error");
    TTransformData temporary;
    temporary.LoadFromText(block.substr(4, n));
    target.Assign(temporary);
}
