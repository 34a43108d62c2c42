#include "textimport/wizard_settings.h"

#include "text/number_text.h"

#include <string>
#include <string_view>

namespace {

// The keys in the order they are stored.
constexpr std::string_view kImportTypeKey = "TextImportModule.ComboBoxImportType.Index";
constexpr std::string_view kMapsKey = "TextImportModule.ComboBoxMaps.Index";
constexpr std::string_view kLayersKey = "TextImportModule.ComboBoxLayers.Index";
constexpr std::string_view kClassifyFieldKey = "TextImportModule.ComboBoxClassifyField.Index";
constexpr std::string_view kTabDividedKey = "TextImportModule.TabDivided.Checked";
constexpr std::string_view kSymbolDividedKey = "TextImportModule.SymbolDivided.Checked";
constexpr std::string_view kDivSymbolKey = "TextImportModule.DivSymbol.Text";
constexpr std::string_view kXCoordFieldKey = "TextImportModule.ComboBoxXCoordField.Index";
constexpr std::string_view kYCoordFieldKey = "TextImportModule.ComboBoxYCoordField.Index";
constexpr std::string_view kStyleNameKey = "TextImportModule.ImportStyleName";
constexpr std::string_view kStyleIDKey = "TextImportModule.ImportStyles0.StyleID";

int ReadNumber(const THostSettings& settings, std::string_view key, std::string_view fallback) {
    const AnsiString text = settings.Read(key, fallback);
    const std::optional<std::int32_t> value = ReadRuntimeInteger(text);
    if (!value)
        throw EConvertError("'" + text + "' is not a valid integer value", text);
    return *value;
}

void WriteNumber(const THostSettings& settings, std::string_view key, int value) {
    settings.Write(key, std::to_string(value));
}

} // namespace

char TStoredSeparator::Character() const {
    if (tab)
        return '\t';
    return symbolText.empty() ? ' ' : symbolText.front();
}

int TTextWizardSettings::ImportType() const {
    return ReadNumber(m_settings, kImportTypeKey, "1");
}

int TTextWizardSettings::MapPosition() const {
    return ReadNumber(m_settings, kMapsKey, "0");
}

int TTextWizardSettings::LayerPosition() const {
    return ReadNumber(m_settings, kLayersKey, "0");
}

int TTextWizardSettings::ClassifierPosition() const {
    const int position = ReadNumber(m_settings, kClassifyFieldKey, "0");
    return position == -1 ? 0 : position;
}

TStoredSeparator TTextWizardSettings::Separator() const {
    TStoredSeparator separator;
    separator.tab = ReadNumber(m_settings, kTabDividedKey, "0") != 0;
    separator.symbol = ReadNumber(m_settings, kSymbolDividedKey, "1") != 0;
    separator.symbolText = m_settings.Read(kDivSymbolKey, ";");
    return separator;
}

int TTextWizardSettings::XColumn() const {
    return ReadNumber(m_settings, kXCoordFieldKey, "0");
}

int TTextWizardSettings::YColumn() const {
    return ReadNumber(m_settings, kYCoordFieldKey, "1");
}

AnsiString TTextWizardSettings::StyleId() const {
    [[maybe_unused]] const AnsiString caption = m_settings.Read(kStyleNameKey, "");
    return m_settings.Read(kStyleIDKey, "");
}

void TTextWizardSettings::Store(const TTextWizardChoices& choices) const {
    WriteNumber(m_settings, kImportTypeKey, choices.importType);
    WriteNumber(m_settings, kMapsKey, choices.mapPosition);
    WriteNumber(m_settings, kLayersKey, choices.layerPosition);
    WriteNumber(m_settings, kClassifyFieldKey, choices.classifierPosition);
    WriteNumber(m_settings, kTabDividedKey, choices.separator.tab ? -1 : 0);
    WriteNumber(m_settings, kSymbolDividedKey, choices.separator.symbol ? -1 : 0);
    m_settings.Write(kDivSymbolKey, choices.separator.symbolText);
    WriteNumber(m_settings, kXCoordFieldKey, choices.xColumn);
    WriteNumber(m_settings, kYCoordFieldKey, choices.yColumn);
    if (choices.style) {
        m_settings.Write(kStyleNameKey, choices.style->caption);
        m_settings.Write(kStyleIDKey, choices.style->id);
    }
}
