// The text import wizard's choices of page 1 in the host's settings store: applied when the
// page is shown, stored when it is left and when the wizard closes.
#include "platform/gui/qt_text.h"
#include "text/number_text.h"
#include "textimport/gui/arrow_grid.h"
#include "textimport/gui/text_import_form.h"
#include "textimport/separator_detection.h"
#include "ui/gui/id_caption_combo.h"

#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalBlocker>

#include <string>

namespace {

// The keys in the order they are stored, with the values a missing key reads as.
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

// A stored number; raises EConvertError "'%s' is not a valid integer value" for other text.
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

// A stored position is applied when it is -1 (no selection) or names an entry of the list.
void ApplyPosition(QComboBox& box, int position) {
    if (position == -1 || (position >= 0 && position < box.count())) {
        const QSignalBlocker blocker(&box);
        box.setCurrentIndex(position);
    }
}

// A position in the host's order selects that entry's identifier in a sorted list.
void ApplyHostPosition(TIdCaptionComboBox& box, const std::vector<TIdNameEntry>& entries,
                       int position) {
    const QSignalBlocker blocker(&box);
    if (position == -1)
        box.setCurrentIndex(-1);
    else if (position >= 0 && position < static_cast<int>(entries.size()))
        box.SelectId(entries[static_cast<std::size_t>(position)].id);
}

} // namespace

void TTextImportForm::ApplySettings() {
    m_settingsApplied = true;
    const THostSettings settings(*m_application.Get());

    ApplyPosition(*m_importType, ReadNumber(settings, kImportTypeKey, "1"));
    UpdateButtons();

    ApplyHostPosition(*m_mapsBox, m_mapEntries, ReadNumber(settings, kMapsKey, "0"));
    MapChanged();
    ApplyHostPosition(*m_layersBox, m_layerEntries, ReadNumber(settings, kLayersKey, "0"));
    LayerChanged();

    // The classifier is never left without a selection: no position reads as "< не зависит >".
    const int classifier = ReadNumber(settings, kClassifyFieldKey, "0");
    ApplyPosition(*m_classifyField, classifier == -1 ? 0 : classifier);
    ClassifierChanged();

    bool tab = ReadNumber(settings, kTabDividedKey, "0") != 0;
    bool symbol = ReadNumber(settings, kSymbolDividedKey, "1") != 0;
    AnsiString divSymbol = settings.Read(kDivSymbolKey, ";");
    // A separator found in text pasted since the page was last shown describes the data at
    // hand better than the one kept from an earlier import.
    // Listed files get the same detection from the first file's first lines, but only when the
    // stored separator does not split that file's header line.
    if (!m_detectedSeparator && m_firstFileLength) {
        const char stored = tab ? '\t' : (divSymbol.empty() ? ' ' : divSymbol.front());
        m_detectedSeparator = FileSeparatorOverride(
            std::string_view(m_table->Text()).substr(0, *m_firstFileLength), stored);
    }
    m_firstFileLength.reset();
    if (m_detectedSeparator) {
        tab = *m_detectedSeparator == '\t';
        symbol = !tab;
        if (!tab)
            divSymbol.assign(1, *m_detectedSeparator);
        m_detectedSeparator.reset();
    }
    {
        const QSignalBlocker tabBlocker(m_tabDivided);
        const QSignalBlocker symbolBlocker(m_symbolDivided);
        const QSignalBlocker textBlocker(m_divSymbol);
        // Both may be off, as stored; the user's next click makes them exclusive again.
        m_tabDivided->setAutoExclusive(false);
        m_symbolDivided->setAutoExclusive(false);
        m_tabDivided->setChecked(tab);
        m_symbolDivided->setChecked(symbol && !tab);
        m_tabDivided->setAutoExclusive(true);
        m_symbolDivided->setAutoExclusive(true);
        m_divSymbol->setText(ToQString(divSymbol));
    }
    SeparatorChanged(false);

    ApplyPosition(*m_xCoordField, ReadNumber(settings, kXCoordFieldKey, "0"));
    ApplyPosition(*m_yCoordField, ReadNumber(settings, kYCoordFieldKey, "1"));
    UpdateSample();

    if (!m_styles.Empty()) {
        // The name is read in its turn, but the cell shows the layer's own name of the stored
        // style, which counts only while it is a style of the chosen layer.
        [[maybe_unused]] const AnsiString name = settings.Read(kStyleNameKey, "");
        const AnsiString id = settings.Read(kStyleIDKey, "");
        TImportStyle& entry = m_styles[0];
        entry.StyleID = TQmID::From("");
        SetStyleCell(0, Ansi("< не импортировать >"));
        for (std::size_t i = 1; i < m_styleChoices.size() && !id.empty(); ++i) {
            if (TQmID::From(m_styleChoices[i].id) == TQmID::From(id)) {
                entry.StyleID = TQmID::From(id);
                SetStyleCell(0, m_styleChoices[i].name);
                break;
            }
        }
        m_stylesGrid->SelectRow(0);
    }
}

void TTextImportForm::StoreSettings() {
    const THostSettings settings(*m_application.Get());
    WriteNumber(settings, kImportTypeKey, m_importType->currentIndex());
    WriteNumber(settings, kMapsKey, SelectedMapPosition());
    WriteNumber(settings, kLayersKey, SelectedLayerPosition());
    WriteNumber(settings, kClassifyFieldKey, m_classifyField->currentIndex());
    WriteNumber(settings, kTabDividedKey, m_tabDivided->isChecked() ? -1 : 0);
    WriteNumber(settings, kSymbolDividedKey, m_symbolDivided->isChecked() ? -1 : 0);
    settings.Write(kDivSymbolKey, FromQString(m_divSymbol->text()));
    WriteNumber(settings, kXCoordFieldKey, m_xCoordField->currentIndex());
    WriteNumber(settings, kYCoordFieldKey, m_yCoordField->currentIndex());
    if (!m_styles.Empty()) {
        settings.Write(kStyleNameKey, FromQString(m_stylesGrid->CellText(0, 1)));
        settings.Write(kStyleIDKey, m_styles[0].StyleID.View());
    }
}
