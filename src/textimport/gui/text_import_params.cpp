// The text import wizard's parameters and attribute pages: the column names and the lists built
// from them, the map, layer and classifier lists, and the style and field choices.
#include "platform/gui/qt_text.h"
#include "text/text_rules.h"
#include "textimport/field_proposal.h"
#include "textimport/gui/arrow_grid.h"
#include "textimport/gui/text_import_form.h"
#include "textimport/text_import_run.h"
#include "textimport/text_sample.h"
#include "ui/gui/id_caption_combo.h"
#include "ui/user_interaction.h"

#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QToolButton>

#include <algorithm>
#include <exception>
#include <string_view>

namespace {

const char* const kNotImported = "< не импортировать >";
const char* const kAllValues = "< все >";
const char* const kNoClassifier = "< не зависит >";

// The cell of a one-column grid, created when missing.
QTableWidgetItem& NameCell(QTableWidget& grid, int row) {
    QTableWidgetItem* cell = grid.item(row, 0);
    if (!cell) {
        cell = new QTableWidgetItem;
        grid.setItem(row, 0, cell);
    }
    return *cell;
}

// The entries of a list read from the host into the box, the one with `keep` selected (else
// the one with `fallback`, else none).
void FillBox(TIdCaptionComboBox& box, const std::vector<TIdNameEntry>& entries,
             const AnsiString& keep, const std::function<AnsiString()>& fallback) {
    const QSignalBlocker blocker(&box);
    box.ClearItems();
    for (const TIdNameEntry& entry : entries)
        box.AddItem(entry.id, entry.name);
    box.setCurrentIndex(-1);
    if (!keep.empty() && box.SelectId(keep))
        return;
    const AnsiString other = fallback();
    if (!other.empty())
        box.SelectId(other);
}

int PositionOf(const std::vector<TIdNameEntry>& entries, const AnsiString& id) {
    if (id.empty())
        return -1;
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (entries[i].id == id)
            return static_cast<int>(i);
    return -1;
}

} // namespace

char TTextImportForm::Separator() const {
    if (m_tabDivided->isChecked())
        return '\t';
    const AnsiString text = FromQString(m_divSymbol->text());
    return text.empty() ? ' ' : text.front();
}

void TTextImportForm::SeparatorChanged(bool keepChoices) {
    const QString x = m_xCoordField->currentText();
    const QString y = m_yCoordField->currentText();
    const QString classifier =
        m_classifyField->currentIndex() > 0 ? m_classifyField->currentText() : QString();
    m_table->SetDelimiter(Separator());
    m_table->Reparse();
    {
        const QSignalBlocker blocker(m_srcFieldsGrid);
        m_srcFieldsGrid->setRowCount(std::max(1, m_table->ColCount()));
        // Without rows the grid keeps the names it had.
        if (m_table->RowCount() > 0)
            for (int column = 0; column < m_table->ColCount(); ++column)
                NameCell(*m_srcFieldsGrid, column).setText(ToQString(m_table->Cells(0, column)));
    }
    RebuildColumnLists();
    if (!keepChoices)
        return;
    // A column that is still there under its name stays chosen; the classifier's values are
    // gathered again from the new split.
    for (auto [box, name] : {std::pair{m_xCoordField, x}, std::pair{m_yCoordField, y}}) {
        const QSignalBlocker blocker(box);
        if (!name.isEmpty())
            box->setCurrentIndex(box->findText(name, Qt::MatchExactly));
    }
    if (!classifier.isEmpty()) {
        if (const int index = m_classifyField->findText(classifier, Qt::MatchExactly); index > 0) {
            const QSignalBlocker blocker(m_classifyField);
            m_classifyField->setCurrentIndex(index);
            ClassifierChanged();
        }
    }
    UpdateSample();
}

void TTextImportForm::UpdateSample() {
    const TTextSample sample(*m_table);
    const std::vector<AnsiString> names = ColumnNames();
    const int xColumn = m_xCoordField->currentIndex();
    const int yColumn = m_yCoordField->currentIndex();
    const int columns = std::max(sample.ColCount(), static_cast<int>(names.size()));
    m_sampleGrid->setUpdatesEnabled(false);
    m_sampleGrid->clear();
    m_sampleGrid->setColumnCount(columns);
    m_sampleGrid->setRowCount(sample.RowCount());
    QStringList headers;
    for (int column = 0; column < columns; ++column) {
        QString header = column < static_cast<int>(names.size())
                             ? ToQString(names[static_cast<std::size_t>(column)])
                             : QString::number(column);
        if (column == xColumn)
            header += QtText(" [X]");
        if (column == yColumn)
            header += QtText(" [Y]");
        headers << header;
    }
    m_sampleGrid->setHorizontalHeaderLabels(headers);
    // The run starts at the first row whose X reads as a number: the rows above it are the
    // table's header, shown as such rather than as rows that fail.
    int firstDataRow = 0;
    if (xColumn >= 0 && xColumn < sample.ColCount()) {
        while (firstDataRow < sample.RowCount() && !sample.Cell(firstDataRow, xColumn).number)
            ++firstDataRow;
        if (firstDataRow == sample.RowCount())
            firstDataRow = 0;
    }
    QStringList rowNumbers;
    const QBrush coordinateBackground = m_sampleGrid->palette().alternateBase();
    const QBrush headerForeground = m_sampleGrid->palette().placeholderText();
    for (int row = 0; row < sample.RowCount(); ++row) {
        rowNumbers << QString::number(row + 1);
        for (int column = 0; column < sample.ColCount(); ++column) {
            const TTextSample::TCell& cell = sample.Cell(row, column);
            auto* item = new QTableWidgetItem(ToQString(cell.text));
            if (row < firstDataRow) {
                item->setForeground(headerForeground);
                item->setToolTip(QtText("Заголовок таблицы: не импортируется"));
            } else if (column == xColumn || column == yColumn) {
                item->setBackground(coordinateBackground);
                // The run skips a row whose X or Y does not read as a number.
                if (!cell.number) {
                    item->setForeground(QColor(176, 0, 0));
                    item->setToolTip(QtText("Не число: строка не будет импортирована"));
                    QFont font = item->font();
                    font.setItalic(true);
                    item->setFont(font);
                }
            }
            m_sampleGrid->setItem(row, column, item);
        }
    }
    m_sampleGrid->setVerticalHeaderLabels(rowNumbers);
    m_sampleGrid->setUpdatesEnabled(true);
}

std::vector<AnsiString> TTextImportForm::ColumnNames() const {
    std::vector<AnsiString> names;
    names.reserve(static_cast<std::size_t>(m_srcFieldsGrid->rowCount()));
    for (int row = 0; row < m_srcFieldsGrid->rowCount(); ++row) {
        const QTableWidgetItem* cell = m_srcFieldsGrid->item(row, 0);
        names.push_back(cell ? FromQString(cell->text()) : AnsiString());
    }
    return names;
}

void TTextImportForm::RebuildColumnLists() {
    const QSignalBlocker namesBlocker(m_srcFieldsGrid);
    const QSignalBlocker classifierBlocker(m_classifyField);
    const QSignalBlocker xBlocker(m_xCoordField);
    const QSignalBlocker yBlocker(m_yCoordField);

    m_classifyField->clear();
    m_classifyField->addItem(QtText(kNoClassifier), QString());
    const int columns = m_srcFieldsGrid->rowCount();
    m_fieldsGrid->SetRowCountKeepingCells(columns);
    m_xCoordField->clear();
    m_yCoordField->clear();
    m_fields.Clear();
    for (int row = 0; row < columns; ++row) {
        QTableWidgetItem& cell = NameCell(*m_srcFieldsGrid, row);
        if (cell.text().isEmpty())
            cell.setText(QtText("Поле ") + QString::number(row));
        const QString name = cell.text();
        m_fieldsGrid->SetCellText(row, 0, name);
        m_fieldsGrid->SetCellText(row, 1, QtText(kNotImported));
        m_classifyField->addItem(name, name);
        m_xCoordField->addItem(name);
        m_yCoordField->addItem(name);
        m_fields.Emplace(FromQString(name));
    }
    m_fieldsGrid->SelectRow(0);

    // One style for every row, keeping the style that entry 0 had.
    const TQmID kept = m_styles.Empty() ? TQmID::From("") : m_styles[0].StyleID;
    m_styles.Clear();
    m_styles.Emplace(Ansi(kAllValues)).StyleID = kept;
    m_stylesGrid->SetRowCountKeepingCells(1);
    m_stylesGrid->SetCellText(0, 0, QtText(kAllValues));
    m_stylesGrid->SelectRow(0);

    m_classifyField->setCurrentIndex(0);
    m_xCoordField->setCurrentIndex(-1);
    m_yCoordField->setCurrentIndex(-1);
    UpdateSample();
}

void TTextImportForm::ColumnNameEdited(int row) {
    const QTableWidgetItem* cell = m_srcFieldsGrid->item(row, 0);
    // An emptied name waits for the next rebuild, which names the column after its index.
    if (cell && !cell->text().isEmpty())
        RebuildColumnLists();
}

int TTextImportForm::ClassifierColumn() const {
    const int index = m_classifyField->currentIndex();
    return index >= 1 ? index - 1 : TTextImportInputs::kNoClassifier;
}

void TTextImportForm::ClassifierChanged() {
    // One entry per value with letter case ignored, the rule the run matches rows by.
    std::vector<AnsiString> values;
    const int column = ClassifierColumn();
    if (column < 0) {
        values.push_back(Ansi(kAllValues));
    } else {
        const int xColumn = FindColumn(ColumnNames(), FromQString(m_xCoordField->currentText()));
        values =
            ClassifierValues(*m_table, column, TTextImportRun::FirstDataRow(*m_table, xColumn));
    }

    m_styles.Clear();
    m_stylesGrid->setRowCount(0);
    m_stylesGrid->SetRowCountKeepingCells(static_cast<int>(values.size()));
    for (std::size_t i = 0; i < values.size(); ++i) {
        m_styles.Emplace(values[i]);
        m_stylesGrid->SetCellText(static_cast<int>(i), 0, ToQString(values[i]));
        m_stylesGrid->SetCellText(static_cast<int>(i), 1, QtText(kNotImported));
    }
    m_stylesGrid->SelectRow(0);
}

void TTextImportForm::FillMaps() {
    const AnsiString held = m_mapsBox->SelectedId();
    m_mapEntries.clear();
    std::exception_ptr failure;
    try {
        ReadProjectMaps(*m_application.Get(), m_mapEntries);
    } catch (...) {
        failure = std::current_exception();
    }
    // What was read before a failure is listed all the same.
    FillBox(*m_mapsBox, m_mapEntries, held, [this] { return ActiveMapId(*m_application.Get()); });
    if (failure)
        std::rethrow_exception(failure);
}

void TTextImportForm::FillLayers() {
    const AnsiString held = m_layersBox->SelectedId();
    m_layerEntries.clear();
    std::exception_ptr failure;
    try {
        const AnsiString map = m_mapsBox->SelectedId();
        if (!map.empty())
            ReadMapLayers(*m_application.Get(), map, m_layerEntries);
    } catch (...) {
        failure = std::current_exception();
    }
    FillBox(*m_layersBox, m_layerEntries, held,
            [this] { return ActiveLayerId(*m_application.Get()); });
    if (failure)
        std::rethrow_exception(failure);
}

void TTextImportForm::MapChanged() {
    FillLayers();
    LayerChanged();
}

void TTextImportForm::LayerChanged() {
    const AnsiString layer = m_layersBox->SelectedId();
    std::exception_ptr failure;

    m_styleChoices.clear();
    std::vector<TIdNameEntry> styles;
    bool known = false;
    try {
        if (!layer.empty())
            known = ReadLayerStyles(*m_database.Get(), layer, styles);
    } catch (...) {
        failure = std::current_exception();
        known = !styles.empty();
    }
    if (known) {
        m_styleChoices.push_back({AnsiString(), Ansi(kNotImported)});
        m_styleChoices.insert(m_styleChoices.end(), styles.begin(), styles.end());
    }
    // Entry 0 starts over on the new layer. The other entries keep their styles when those
    // belong to the layer; a style of another layer would fail every row that uses it.
    if (!m_styles.Empty())
        m_styles[0].StyleID = TQmID::From("");
    if (m_stylesGrid->rowCount() > 0)
        SetStyleCell(0, Ansi(kNotImported));
    for (int i = 1; i < m_styles.Count(); ++i) {
        TImportStyle& entry = m_styles[i];
        const bool ofLayer =
            std::any_of(styles.begin(), styles.end(), [&](const TIdNameEntry& style) {
                return TQmID::From(style.id) == entry.StyleID;
            });
        if (!entry.StyleID.Empty() && !ofLayer) {
            entry.StyleID = TQmID::From("");
            SetStyleCell(i, Ansi(kNotImported));
        }
    }

    try {
        m_layerTables.Clear();
        if (!layer.empty())
            m_layerTables.Load(*m_database.Get(), layer);
    } catch (...) {
        if (!failure)
            failure = std::current_exception();
    }
    UpdateFieldButton();
    if (failure)
        std::rethrow_exception(failure);
}

void TTextImportForm::SetStyleCell(int row, const AnsiString& name) {
    m_stylesGrid->SetCellText(row, 1, ToQString(name));
}

void TTextImportForm::UpdateFieldButton() {
    // Without an attribute table there is nothing to choose.
    m_fieldsGrid->ArrowButton()->setEnabled(m_layerTables.Count() > 0);
}

void TTextImportForm::PickStyle(int row) {
    if (row < 0 || row >= m_styles.Count())
        return;
    TImportStyle& entry = m_styles[row];
    TPickListRequest request;
    request.anchor = m_stylesGrid->ChoiceCellRect(row);
    for (std::size_t i = 0; i < m_styleChoices.size(); ++i) {
        request.items.push_back(m_styleChoices[i].name);
        if (request.selected < 0 && AnsiSameText(m_styleChoices[i].id, entry.StyleID.View()))
            request.selected = static_cast<int>(i);
    }
    const std::optional<int> chosen = UserInteraction().PickFromList(request);
    if (!chosen || *chosen < 0 || *chosen >= static_cast<int>(m_styleChoices.size()))
        return;
    const TIdNameEntry& choice = m_styleChoices[static_cast<std::size_t>(*chosen)];
    entry.StyleID = TQmID::From(choice.id);
    SetStyleCell(row, choice.name);
}

void TTextImportForm::PickField(int row) {
    if (m_layerTables.Count() == 0 || row < 0 || row >= m_fields.Count())
        return;
    TImportField& mapping = m_fields[row];
    struct TTarget {
        const TLayerTable* table;
        const TLayerTableField* field;
    };
    std::vector<TTarget> targets{{nullptr, nullptr}};
    TPickListRequest request;
    request.anchor = m_fieldsGrid->ChoiceCellRect(row);
    request.items.push_back(Ansi(kNotImported));
    request.selected = 0;
    for (int t = 0; t < m_layerTables.Count(); ++t) {
        const TLayerTable& table = m_layerTables.Item(t);
        for (const TLayerTableField& field : table.fields) {
            if (request.selected == 0 && !mapping.TableID.Empty() &&
                mapping.TableID == TQmID::From(table.id) && mapping.FieldName == field.name)
                request.selected = static_cast<int>(targets.size());
            targets.push_back({&table, &field});
            request.items.push_back(FieldTargetText(table, field));
        }
    }
    const std::optional<int> chosen = UserInteraction().PickFromList(request);
    if (!chosen || *chosen < 0 || *chosen >= static_cast<int>(targets.size()))
        return;
    const TTarget& target = targets[static_cast<std::size_t>(*chosen)];
    if (!target.table) {
        mapping.TableID = TQmID::From("");
        mapping.FieldName.clear();
        m_fieldsGrid->SetCellText(row, 1, QtText(kNotImported));
        return;
    }
    mapping.TableID = TQmID::From(target.table->id);
    mapping.FieldName = target.field->name;
    mapping.FieldType = target.field->type;
    m_fieldsGrid->SetCellText(row, 1, ToQString(FieldTargetText(*target.table, *target.field)));
}

void TTextImportForm::ProposeFieldTargets() {
    if (::ProposeFieldTargets(m_fields, m_layerTables.Tables()) == 0)
        return;
    for (int row = 0; row < m_fields.Count(); ++row) {
        const TImportField& mapping = m_fields[row];
        for (const TLayerTable& table : m_layerTables.Tables()) {
            if (mapping.TableID != TQmID::From(table.id))
                continue;
            for (const TLayerTableField& field : table.fields)
                if (field.name == mapping.FieldName)
                    m_fieldsGrid->SetCellText(row, 1, ToQString(FieldTargetText(table, field)));
            break;
        }
    }
}

int TTextImportForm::SelectedMapPosition() const {
    return PositionOf(m_mapEntries, m_mapsBox->SelectedId());
}

int TTextImportForm::SelectedLayerPosition() const {
    return PositionOf(m_layerEntries, m_layersBox->SelectedId());
}
