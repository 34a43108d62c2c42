// Fixed-width fields of a text line: their definitions and the values cut from a line (the
// survey records are read with them).
#pragma once

#include "platform/exception.h"

#include <cstdint>
#include <memory>
#include <string_view>
#include <variant>
#include <vector>

// A field's value: its characters as cut (not stripped), or a number.
using TParsedValue = std::variant<AnsiString, double>;

enum : std::uint8_t { kFieldText = 0, kFieldNumber = 1 };

// One field: its kind (1 = number, anything else is text), its 1-based start and its length.
class TSubStringInfo {
public:
    TSubStringInfo(std::uint8_t kind, std::int32_t start, std::int32_t length)
        : m_kind(kind), m_start(start), m_length(length) {}

    std::uint8_t Kind() const { return m_kind; }
    std::int32_t Start() const { return m_start; }
    std::int32_t Length() const { return m_length; }

    // value := the text; a number field must pass the number rule and then holds the number.
    // A field that passes only as a hexadecimal integer raises the conversion error.
    void ParseValue(std::string_view text, bool& ok, TParsedValue& value) const;
    // Cuts at most Length characters from Start (fewer or none on a short line).
    void ParseField(std::string_view line, bool& ok, TParsedValue& value) const;

private:
    std::uint8_t m_kind;
    std::int32_t m_start;
    std::int32_t m_length;
};

// Owns its definitions, in order.
class TSubStringInfoList {
public:
    void Add(std::unique_ptr<TSubStringInfo> item) { m_items.push_back(std::move(item)); }
    std::size_t Count() const { return m_items.size(); }
    const TSubStringInfo& Items(std::size_t index) const { return *m_items.at(index); }

private:
    std::vector<std::unique_ptr<TSubStringInfo>> m_items;
};

struct TSubStringDef {
    std::uint8_t kind;
    std::int32_t start; // 0 or negative: the running position
    std::int32_t length;
};

// Appends one definition per triple, keeping a running position that starts at firstStart
// and grows by each length. A non-positive length raises "Invalid definition"; the triples
// before it stay in the list.
void AddSubStringDefinitions(TSubStringInfoList& list, std::int32_t firstStart,
                             std::initializer_list<TSubStringDef> definitions);
