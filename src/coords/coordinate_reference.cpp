#include "coords/coordinate_reference.h"

#include "text/number_text.h"
#include "text/text_rules.h"

#include <algorithm>
#include <cmath>

void TCSBoundingBox::Normalize() {
    if (min.x > max.x)
        std::swap(min.x, max.x);
    if (min.y > max.y)
        std::swap(min.y, max.y);
}

const char* CoordinateReferenceTypeName(TCoordinateReferenceType type) {
    switch (type) {
    case TCoordinateReferenceType::Geographic:
        return "Geographic";
    case TCoordinateReferenceType::Projected:
        return "Projected";
    case TCoordinateReferenceType::Local:
        return "Local";
    default:
        return "";
    }
}

TCoordinateReferenceType CoordinateReferenceTypeFromName(std::string_view name) {
    for (auto type : {TCoordinateReferenceType::Geographic, TCoordinateReferenceType::Projected,
                      TCoordinateReferenceType::Local})
        if (AnsiSameText(name, CoordinateReferenceTypeName(type)))
            return type;
    return TCoordinateReferenceType::None;
}

AnsiString LocalCoordinateSystemCaption() {
    return Ansi("<Локальная система координат>");
}

namespace {
// A number of the box text. Near the end of the double range the 15-digit rounding lies beyond
// it (1.79769313486232e+308) and would not read back, losing the box; such a number is written
// rounded toward zero instead.
AnsiString BoxNumber(double value) {
    AnsiString text = FormatGeneral(value, 15, '.');
    if (std::isfinite(value) && !ReadDecimal(text))
        text = value < 0 ? "-1.79769313486231e+308" : "1.79769313486231e+308";
    return text;
}
} // namespace

AnsiString BoundingBoxText(const TCSBoundingBox& box) {
    const double minX = std::min(box.min.x, box.max.x), maxX = std::max(box.min.x, box.max.x);
    const double minY = std::min(box.min.y, box.max.y), maxY = std::max(box.min.y, box.max.y);
    return BoxNumber(minX) + " " + BoxNumber(minY) + " " + BoxNumber(maxX) + " " + BoxNumber(maxY);
}

std::optional<TCSBoundingBox> ParseBoundingBoxText(std::string_view text) {
    text = TrimControls(text);
    std::vector<double> numbers;
    size_t start = 0;
    while (start <= text.size()) {
        size_t space = text.find(' ', start);
        if (space == std::string_view::npos)
            space = text.size();
        std::string_view piece = TrimControls(text.substr(start, space - start));
        if (!piece.empty()) {
            auto value = ReadDecimal(piece, kPointOrCommaForm);
            if (!value)
                return std::nullopt;
            numbers.push_back(*value);
        }
        start = space + 1;
    }
    if (numbers.size() < 4)
        return std::nullopt;
    TCSBoundingBox box;
    box.min = {std::min(numbers[0], numbers[2]), std::min(numbers[1], numbers[3]), 0};
    box.max = {std::max(numbers[0], numbers[2]), std::max(numbers[1], numbers[3]), 0};
    return box;
}

void TCoordinateReferenceDef::InitLocal(const AnsiString& caption) {
    Caption = caption;
    Format.clear();
    Parameters.clear();
    Type = TCoordinateReferenceType::None;
    SwitchXY = false;
    HasBoundingBox = false;
}

void TCoordinateReferenceDef::SetFormat(std::string_view text) {
    Format = AnsiString(TrimControls(text));
}

void TCoordinateReferenceDef::SetBoundingBox(const TCSBoundingBox& box) {
    BoundingBox = box;
    BoundingBox.Normalize();
    HasBoundingBox = true;
}

void TCoordinateReferenceDef::SetBoundingBoxText(std::string_view text) {
    auto box = ParseBoundingBoxText(text);
    HasBoundingBox = box.has_value();
    if (box)
        BoundingBox = *box;
}

bool TCoordinateReferenceDef::IsUndefined() const {
    return TrimControls(Format).empty() || TrimControls(Parameters).empty();
}

AnsiString TCoordinateReferenceDef::ParamsText() const {
    if (Format.empty() && Parameters.empty())
        return {};
    return JoinedText();
}

AnsiString TCoordinateReferenceDef::JoinedText() const {
    return Format + ":" + Parameters;
}

AnsiString TCoordinateReferenceDef::DisplayText(const AnsiString& undefinedText) const {
    if (IsUndefined())
        return undefinedText;
    return Ansi("Название: ") + Caption + "\r\n" + Ansi("Параметры: ") + ParamsText() + "\r\n" +
           Ansi("Область определения: ") +
           (HasBoundingBox ? BoundingBoxText(BoundingBox) : Ansi("не определена")) + "\r\n" +
           Ansi("Координаты X и Y поменяны местами: ") + (SwitchXY ? Ansi("Да") : Ansi("Нет"));
}

void TCoordinateReferenceDef::LoadFromJSON(const TJson& object) {
    Clear();
    Type = CoordinateReferenceTypeFromName(JsonText(object, "Type", "Unknown"));
    Caption = JsonText(object, "Caption", "");
    SetFormat(JsonText(object, "Format"));
    Parameters = JsonText(object, "Parameters");
    const AnsiString box = JsonText(object, "BBox", "");
    if (object.contains("BBox"))
        SetBoundingBoxText(box);
}

void TCoordinateReferenceDef::SaveToJSON(TJson& object) const {
    object = TJson::object();
    object["Caption"] = JsonString(Caption);
    object["Format"] = JsonString(Format);
    object["Parameters"] = JsonString(Parameters);
    object["Type"] = JsonString(CoordinateReferenceTypeName(Type));
    if (HasBoundingBox)
        object["BBox"] = JsonString(BoundingBoxText(BoundingBox));
}

namespace {
AnsiString Quoted(std::string_view value) {
    if (TrimControls(value).empty())
        return "\"\"";
    AnsiString text = "\"";
    for (char c : value) {
        if (c == '"')
            text += '"';
        text += c;
    }
    return text + "\"";
}

// Comma-separated fields, each optionally in double quotes with doubled inner quotes; blanks
// around fields are dropped.
std::vector<AnsiString> SplitCommaText(std::string_view line) {
    std::vector<AnsiString> fields;
    size_t i = 0;
    auto skipBlanks = [&] {
        while (i < line.size() && static_cast<unsigned char>(line[i]) <= ' ')
            ++i;
    };
    for (;;) {
        skipBlanks();
        AnsiString field;
        if (i < line.size() && line[i] == '"') {
            ++i;
            while (i < line.size()) {
                if (line[i] == '"') {
                    if (i + 1 < line.size() && line[i + 1] == '"') {
                        field += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                field += line[i++];
            }
            // Text between the closing quote and the comma belongs to the field.
            size_t comma = line.find(',', i);
            if (comma == std::string_view::npos)
                comma = line.size();
            field += AnsiString(TrimControls(line.substr(i, comma - i)));
            i = comma;
        } else {
            size_t comma = line.find(',', i);
            if (comma == std::string_view::npos)
                comma = line.size();
            field = AnsiString(TrimControls(line.substr(i, comma - i)));
            i = comma;
        }
        fields.push_back(std::move(field));
        if (i >= line.size())
            break;
        ++i; // the comma
    }
    return fields;
}
} // namespace

AnsiString TCoordinateReferenceDef::ClipboardLine() const {
    AnsiString line = Quoted(Caption) + ", " + Quoted(Format) + ", " + Quoted(Parameters);
    if (HasBoundingBox)
        line += ", " + Quoted(BoundingBoxText(BoundingBox));
    return line;
}

void TCoordinateReferenceDef::ReadClipboardLine(std::string_view line) {
    if (TrimControls(line).empty())
        throw ECoordinateSystemError(Ansi("Буфер обмена не содержит данных"));
    auto fields = SplitCommaText(line);
    if (fields.size() < 3)
        throw ECoordinateSystemError(
            Ansi("Возможно буфер не содержит данных по системе координат"));
    Clear();
    Caption = fields[0];
    SetFormat(fields[1]);
    Parameters = fields[2];
    if (fields.size() > 3)
        SetBoundingBoxText(fields[3]);
}

TCoordinateReferenceDef LocalCoordinateReference(const AnsiString& caption) {
    TCoordinateReferenceDef def;
    def.InitLocal(caption);
    return def;
}

bool IsSame(const TCoordinateReferenceDef& a, const TCoordinateReferenceDef& b) {
    return TrimControls(a.Format) == TrimControls(b.Format) &&
           TrimControls(a.Parameters) == TrimControls(b.Parameters) && a.SwitchXY == b.SwitchXY;
}

bool IsSameExceptSwitch(const TCoordinateReferenceDef& a, const TCoordinateReferenceDef& b) {
    return TrimControls(a.Format) == TrimControls(b.Format) &&
           TrimControls(a.Parameters) == TrimControls(b.Parameters) && a.SwitchXY != b.SwitchXY;
}

std::shared_ptr<TCoordinateReference> TCoordinateReference::Clone() const {
    return std::make_shared<TCoordinateReference>(m_def);
}

void LoadReferenceListFromJSON(TCoordinateReferenceList& list, const TJson& array) {
    list.clear();
    if (!array.is_array())
        throw EJsonError("JSON array expected");
    for (const auto& element : array) {
        if (!element.is_object())
            throw EJsonError("JSON object expected");
        auto reference = std::make_shared<TCoordinateReference>();
        reference->LoadFromJSON(element);
        list.push_back(std::move(reference));
    }
}

void SaveReferenceListToJSON(const TCoordinateReferenceList& list, TJson& array) {
    array = TJson::array();
    for (const auto& reference : list) {
        TJson object;
        reference->SaveToJSON(object);
        array.push_back(std::move(object));
    }
}
