// The text import wizard's choices of page 1 in the host's settings store: applied when the
// page is shown, stored when it is left and when the wizard closes.
#include "platform/gui/qt_text.h"
#include "textimport/gui/arrow_grid.h"
#include "textimport/gui/text_import_form.h"
#include "textimport/separator_detection.h"
#include "textimport/wizard_settings.h"
#include "ui/gui/id_caption_combo.h"

#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalBlocker>

namespace {

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
    const TTextWizardSettings settings(*m_application.Get());

    ApplyPosition(*m_importType, settings.ImportType());
    UpdateButtons();

    ApplyHostPosition(*m_mapsBox, m_mapEntries, settings.MapPosition());
    MapChanged();
    ApplyHostPosition(*m_layersBox, m_layerEntries, settings.LayerPosition());
    LayerChanged();

    ApplyPosition(*m_classifyField, settings.ClassifierPosition());
    ClassifierChanged();

    TStoredSeparator separator = settings.Separator();
    // A separator found in text pasted since the page was last shown describes the data at
    // hand better than the one kept from an earlier import.
    // Listed files get the same detection from the first file's first lines, but only when the
    // stored separator does not split that file's header line.
    if (!m_detectedSeparator && m_firstFileLength) {
        m_detectedSeparator = FileSeparatorOverride(
            std::string_view(m_table->Text()).substr(0, *m_firstFileLength), separator.Character());
    }
    m_firstFileLength.reset();
    if (m_detectedSeparator) {
        separator.tab = *m_detectedSeparator == '\t';
        separator.symbol = !separator.tab;
        if (!separator.tab)
            separator.symbolText.assign(1, *m_detectedSeparator);
        m_detectedSeparator.reset();
    }
    {
        const QSignalBlocker tabBlocker(m_tabDivided);
        const QSignalBlocker symbolBlocker(m_symbolDivided);
        const QSignalBlocker textBlocker(m_divSymbol);
        // Both may be off, as stored; the user's next click makes them exclusive again.
        m_tabDivided->setAutoExclusive(false);
        m_symbolDivided->setAutoExclusive(false);
        m_tabDivided->setChecked(separator.tab);
        m_symbolDivided->setChecked(separator.symbol && !separator.tab);
        m_tabDivided->setAutoExclusive(true);
        m_symbolDivided->setAutoExclusive(true);
        m_divSymbol->setText(ToQString(separator.symbolText));
    }
    SeparatorChanged(false);

    ApplyPosition(*m_xCoordField, settings.XColumn());
    ApplyPosition(*m_yCoordField, settings.YColumn());
    UpdateSample();

    if (!m_styles.Empty()) {
        // The cell shows the layer's own name of the stored style, which counts only while it is
        // a style of the chosen layer.
        const AnsiString id = settings.StyleId();
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
    TTextWizardChoices choices;
    choices.importType = m_importType->currentIndex();
    choices.mapPosition = SelectedMapPosition();
    choices.layerPosition = SelectedLayerPosition();
    choices.classifierPosition = m_classifyField->currentIndex();
    choices.separator.tab = m_tabDivided->isChecked();
    choices.separator.symbol = m_symbolDivided->isChecked();
    choices.separator.symbolText = FromQString(m_divSymbol->text());
    choices.xColumn = m_xCoordField->currentIndex();
    choices.yColumn = m_yCoordField->currentIndex();
    if (!m_styles.Empty())
        choices.style = {FromQString(m_stylesGrid->CellText(0, 1)),
                         AnsiString(m_styles[0].StyleID.View())};
    TTextWizardSettings(*m_application.Get()).Store(choices);
}
