// The affine transformation chain: its four step kinds, the owning list with its update
// bracket and change notification, the text form and the step descriptions.
#pragma once

#include "coords/transform_matrix.h"
#include "platform/codepage.h"
#include "platform/exception.h"

#include <functional>
#include <iosfwd>
#include <memory>
#include <string_view>
#include <vector>

class TTransformData;

class TTransformItem {
public:
    virtual ~TTransformItem() = default;
    // A new, ownerless item of the same kind with the same parameters.
    [[nodiscard]] virtual std::unique_ptr<TTransformItem> Clone() const = 0;
    // Appends the item's elementary step to the matrix.
    virtual void ApplyTo(TTransformMatrix& matrix) const = 0;
    [[nodiscard]] virtual AnsiString GetDescription() const = 0;
    // The parameter text of the text form, with the user's decimal separator.
    [[nodiscard]] virtual AnsiString GetParams() const = 0;
    // Reads the parameter text; EConvertError when a number cannot be read (the item is then
    // unchanged).
    virtual void SetParams(std::string_view text) = 0;
    // The type word of the text form: "T", "S", "R" or "Shear".
    [[nodiscard]] virtual const char* TypeWord() const = 0;

    TTransformData* Owner() const { return m_owner; }

protected:
    void Changed();

private:
    friend class TTransformData;
    TTransformData* m_owner = nullptr;
};

// A step with two parameters (translation, scaling, shear).
class TTransformPairItem : public TTransformItem {
public:
    AnsiString GetParams() const override;
    void SetParams(std::string_view text) override;

protected:
    TTransformPairItem(double first, double second) : m_first(first), m_second(second) {}
    void SetFirst(double value);
    void SetSecond(double value);
    AnsiString Describe(const char* utf8Format) const;
    double m_first, m_second;
};

class TTransformTranslationItem final : public TTransformPairItem {
public:
    TTransformTranslationItem(double offsetX = 0, double offsetY = 0)
        : TTransformPairItem(offsetX, offsetY) {}
    double OffsetX() const { return m_first; }
    double OffsetY() const { return m_second; }
    void SetOffsetX(double v) { SetFirst(v); }
    void SetOffsetY(double v) { SetSecond(v); }
    std::unique_ptr<TTransformItem> Clone() const override;
    void ApplyTo(TTransformMatrix& matrix) const override;
    AnsiString GetDescription() const override;
    const char* TypeWord() const override { return "T"; }
};

class TTransformScalingItem final : public TTransformPairItem {
public:
    TTransformScalingItem(double scaleX = 1, double scaleY = 1)
        : TTransformPairItem(scaleX, scaleY) {}
    double ScaleX() const { return m_first; }
    double ScaleY() const { return m_second; }
    void SetScaleX(double v) { SetFirst(v); }
    void SetScaleY(double v) { SetSecond(v); }
    std::unique_ptr<TTransformItem> Clone() const override;
    void ApplyTo(TTransformMatrix& matrix) const override;
    AnsiString GetDescription() const override;
    const char* TypeWord() const override { return "S"; }
};

class TTransformShearItem final : public TTransformPairItem {
public:
    TTransformShearItem(double shearX = 0, double shearY = 0)
        : TTransformPairItem(shearX, shearY) {}
    double ShearX() const { return m_first; }
    double ShearY() const { return m_second; }
    void SetShearX(double v) { SetFirst(v); }
    void SetShearY(double v) { SetSecond(v); }
    std::unique_ptr<TTransformItem> Clone() const override;
    void ApplyTo(TTransformMatrix& matrix) const override;
    AnsiString GetDescription() const override;
    const char* TypeWord() const override { return "Shear"; }
};

class TTransformRotationItem final : public TTransformItem {
public:
    explicit TTransformRotationItem(double angle = 0) : m_angle(angle) {}
    // Radians, counter-clockwise with the Y axis up.
    double Angle() const { return m_angle; }
    void SetAngle(double v);
    std::unique_ptr<TTransformItem> Clone() const override;
    void ApplyTo(TTransformMatrix& matrix) const override;
    AnsiString GetDescription() const override;
    AnsiString GetParams() const override;
    void SetParams(std::string_view text) override;
    const char* TypeWord() const override { return "R"; }

private:
    double m_angle;
};

// A default item for a type word of the text form; fails with an internal error for an unknown
// word (words are case-sensitive).
std::unique_ptr<TTransformItem> CreateTransformItemByType(std::string_view typeWord);

// An angle in radians as degrees, minutes and seconds: 45°, 30°30', 10°00'15".
AnsiString FormatAngleDMS(double angle);

class TTransformData {
public:
    using TChangeEvent = std::function<void(TTransformData&)>;

    TTransformData() = default;
    TTransformData(const TTransformData&) = delete;
    TTransformData& operator=(const TTransformData&) = delete;

    void Add(std::unique_ptr<TTransformItem> item);
    int Count() const { return static_cast<int>(m_items.size()); }
    TTransformItem& Get(int index) const { return *m_items.at(index); }
    void Delete(int index);
    void Clear();
    void Assign(const TTransformData& source);
    void Exchange(int i, int j);
    void ApplyTo(TTransformMatrix& matrix) const;
    // Identity, then every item in order.
    [[nodiscard]] TTransformMatrix Matrix() const;

    // The text form <T(1 2)R(0.5)...>; reading happens inside an update bracket, items read
    // before a failure stay in the chain.
    void LoadFromStream(std::istream& stream);
    void SaveToStream(std::ostream& stream) const;
    void LoadFromText(std::string_view text);
    [[nodiscard]] AnsiString SaveToText() const;

    void BeginUpdate();
    void EndUpdate();
    void SetOnChange(TChangeEvent handler) { m_onChange = std::move(handler); }
    const TChangeEvent& OnChange() const { return m_onChange; }

    // Reports a change: at once outside an update bracket, at its end otherwise.
    void Changed();

private:
    std::vector<std::unique_ptr<TTransformItem>> m_items;
    TChangeEvent m_onChange;
    int m_updateCount = 0;
    bool m_changedWhileUpdating = false;
};

// The clipboard's private block for a chain: 32-bit little-endian length, then the text form.
[[nodiscard]] std::string EncodeTransformClipboardBlock(const TTransformData& chain);
// Reads a block into a temporary chain and, on success, replaces the target's items with it;
// the target is unchanged on failure.
void DecodeTransformClipboardBlock(std::string_view block, TTransformData& target);
