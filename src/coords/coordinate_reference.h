// Coordinate system references: the value record, the shared reference object, formats, the
// shared result record and error classes, and the record's text and JSON forms.
#pragma once

#include "infra/json_text.h"
#include "platform/exception.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

struct TCSPoint {
    double x = 0, y = 0, z = 0;
};

struct TCSBoundingBox {
    TCSPoint min, max;
    // Puts min and max in order for X and for Y separately; Z is left alone.
    void Normalize();
};

// Expected, user-facing failures of coordinate systems.
class ECoordinateSystemError : public EUserError {
public:
    using EUserError::EUserError;
};
// A transformation cannot be built.
class ECoordinateSystemTransformerError : public ECoordinateSystemError {
public:
    using ECoordinateSystemError::ECoordinateSystemError;
};
// Internal failures.
class ECriticalCoordinateSystemError : public Exception {
public:
    using Exception::Exception;
};

struct TFunctionResult {
    static constexpr std::uint8_t kSuccess = 0;
    static constexpr std::uint8_t kFailure = 2;
    std::uint8_t Status = kSuccess;
    AnsiString Message;

    bool Succeeded() const { return Status != kFailure; }
    static TFunctionResult Failure(AnsiString message) { return {kFailure, std::move(message)}; }
};

enum class TCoordinateReferenceType : std::uint8_t {
    None = 0,
    Geographic = 1,
    Projected = 2,
    Local = 3
};

// "Geographic", "Projected", "Local"; empty for none.
const char* CoordinateReferenceTypeName(TCoordinateReferenceType type);
// Case-insensitive; anything else is none.
TCoordinateReferenceType CoordinateReferenceTypeFromName(std::string_view name);

// The caption of the local reference of a database without a coordinate system.
AnsiString LocalCoordinateSystemCaption();

// The bounding-box text "minX minY maxX maxY" ('.' as decimal point, Z left out).
AnsiString BoundingBoxText(const TCSBoundingBox& box);
// Reads at least four numbers separated by spaces (',' allowed as decimal point); the first four
// give the box. Never throws.
std::optional<TCSBoundingBox> ParseBoundingBoxText(std::string_view text);

struct TCoordinateReferenceDef {
    TCoordinateReferenceType Type = TCoordinateReferenceType::None;
    AnsiString Caption;
    AnsiString Format; // stored trimmed
    AnsiString Parameters;
    bool SwitchXY = false;
    TCSBoundingBox BoundingBox;
    bool HasBoundingBox = false;

    void Clear() { *this = TCoordinateReferenceDef(); }
    // The local reference: no format, no parameters; the box values stay.
    void InitLocal(const AnsiString& caption);
    void SetFormat(std::string_view text);
    void SetBoundingBox(const TCSBoundingBox& box);
    // HasBoundingBox tells whether the text was read; on failure the old box values stay.
    void SetBoundingBoxText(std::string_view text);
    [[nodiscard]] bool IsUndefined() const;
    // "Format:Parameters", empty when both are empty.
    [[nodiscard]] AnsiString ParamsText() const;
    // "Format:Parameters", always.
    [[nodiscard]] AnsiString JoinedText() const;
    // Four lines (name, parameters, area, X/Y exchange), or undefinedText.
    [[nodiscard]] AnsiString DisplayText(const AnsiString& undefinedText) const;

    // The JSON object form (SwitchXY is not part of it). Reading clears the record first and
    // fails with EJsonError when "Format" or "Parameters" is missing.
    void LoadFromJSON(const TJson& object);
    void SaveToJSON(TJson& object) const;

    // The clipboard line: "caption", "format", "parameters"[, "box"].
    [[nodiscard]] AnsiString ClipboardLine() const;
    // Fails with ECoordinateSystemError for a blank text or fewer than three fields.
    void ReadClipboardLine(std::string_view line);
};

TCoordinateReferenceDef LocalCoordinateReference(const AnsiString& caption);

// Same format, same parameters (trimmed, exact) and same SwitchXY.
bool IsSame(const TCoordinateReferenceDef& a, const TCoordinateReferenceDef& b);
// Same format and parameters, different SwitchXY.
bool IsSameExceptSwitch(const TCoordinateReferenceDef& a, const TCoordinateReferenceDef& b);

// The base of the shared coordinate-system objects (references, transformations, providers).
class TCSObject {
public:
    virtual ~TCSObject() = default;
};

class TCoordinateReference : public TCSObject {
public:
    TCoordinateReference() = default;
    explicit TCoordinateReference(TCoordinateReferenceDef def) : m_def(std::move(def)) {}

    virtual AnsiString GetCaption() const { return m_def.Caption; }
    virtual void Assign(const TCoordinateReference& other) { m_def = other.m_def; }
    virtual void LoadFromJSON(const TJson& object) { m_def.LoadFromJSON(object); }
    virtual void SaveToJSON(TJson& object) const { m_def.SaveToJSON(object); }
    [[nodiscard]] virtual std::shared_ptr<TCoordinateReference> Clone() const;
    virtual void SetDef(const TCoordinateReferenceDef& def) { m_def = def; }

    const TCoordinateReferenceDef& Def() const { return m_def; }
    const AnsiString& GetFormat() const { return m_def.Format; }
    const AnsiString& GetParameters() const { return m_def.Parameters; }
    void SetCaption(const AnsiString& caption) { m_def.Caption = caption; }
    void SetParameters(const AnsiString& parameters) { m_def.Parameters = parameters; }
    bool IsUndefined() const { return m_def.IsUndefined(); }
    bool IsSameAs(const TCoordinateReferenceDef& def) const {
        return !IsUndefined() && IsSame(m_def, def);
    }

protected:
    TCoordinateReferenceDef m_def;
};

using TCoordinateReferencePtr = std::shared_ptr<TCoordinateReference>;

// True also when there is no reference at all.
inline bool IsUndefined(const TCoordinateReference* reference) {
    return !reference || reference->IsUndefined();
}

class TCoordinateReferenceFormat : public TCSObject {
public:
    TCoordinateReferenceFormat(AnsiString name, AnsiString caption, AnsiString description = {})
        : Name(std::move(name)), Caption(std::move(caption)), Description(std::move(description)) {}
    AnsiString Name; // compared case-insensitively
    AnsiString Caption;
    AnsiString Description;
};

using TCoordinateReferenceFormatPtr = std::shared_ptr<TCoordinateReferenceFormat>;
using TCoordinateReferenceFormatList = std::vector<TCoordinateReferenceFormatPtr>;
using TCoordinateReferenceList = std::vector<TCoordinateReferencePtr>;

// A JSON array of reference objects into a list (cleared first; every element must be an
// object), and back.
void LoadReferenceListFromJSON(TCoordinateReferenceList& list, const TJson& array);
void SaveReferenceListToJSON(const TCoordinateReferenceList& list, TJson& array);
