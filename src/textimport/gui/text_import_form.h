// The text import wizard: the source text or files, the columns and targets, the attribute
// targets, the coordinate transformation, and the run with its progress. Its parameter choices
// are kept in the host's settings store between uses.
#pragma once

#include "addon/application_view.h"
#include "addon/dll_form.h"
#include "addon/layer_tables.h"
#include "text/csv_data.h"
#include "textimport/import_settings.h"
#include "textimport/progress.h"
#include "ui/gui/wizard_dialog.h"

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QTableWidget;
class TArrowGrid;
class TIdCaptionComboBox;
class TImportTransformationPage;
class TQmCustomAddon;
class TQtProgressBar;
class TQtProgressLabel;
class TRunSummaryPanel;
class TImportReport;
struct TTextImportInputs;

class TTextImportForm final : public TWizardDialog, public TQmAddonForm {
public:
    enum TPage : int {
        kSourcePage = 0,    // "Исходные данные"
        kParamsPage = 1,    // "Параметры"
        kSemDataPage = 2,   // "Импорт семантических данных"
        kTransformPage = 3, // the coordinate transformation
        kImportPage = 4,    // the run
    };
    // What the memo holds: the data itself or one file path per line.
    enum class TImportMode { Text, Files };

    explicit TTextImportForm(QWidget* parent = nullptr);
    ~TTextImportForm() override;

    // Binds the wizard to the add-on and its host and fills the first page. Failures of the
    // transformation page's set-up propagate; failures while the map, layer, style and table
    // lists are read are shown and leave the lists as far as they were read.
    void Setup(TQmCustomAddon& addon);

    [[nodiscard]] TImportMode ImportMode() const { return m_importMode; }
    [[nodiscard]] const TCSVData& Table() const { return *m_table; }
    [[nodiscard]] const TImportStyleList& Styles() const { return m_styles; }
    [[nodiscard]] const TImportFieldList& Fields() const { return m_fields; }
    // The objects the last run created.
    [[nodiscard]] int ObjectCount() const { return m_objectCount; }
    [[nodiscard]] TImportTransformationPage& TransformationPage() const { return *m_transformPage; }

    // The column separator in force: a tab, else the first character of the separator field,
    // else a blank.
    [[nodiscard]] char Separator() const;

    // While a run is active the wizard cannot be closed; otherwise closing, whatever the result,
    // stores the choices of page 1 once that page has been shown.
    void done(int result) override;

private:
    // --- construction (text_import_form.cpp)
    QWidget* BuildSourcePage();
    QWidget* BuildParamsPage();
    QWidget* BuildSemDataPage();
    QWidget* BuildImportPage();
    void Connect();

    // --- pages and buttons (text_import_form.cpp)
    // Leaves the current page (page 1 stores its settings) and shows `page` (page 1 applies
    // them).
    void ShowPage(int page) override;
    // Back is disabled on the first page; the classifier list shows for method 2 only.
    void UpdateButtons() override;
    void Next() override;
    [[nodiscard]] TTextImportInputs Inputs();
    void RunImport();
    // The last page's lines about the run the current choices make.
    void ShowRunPlan();
    void ShowRunReport(const TImportReport& report);
    // The run's stop button is enabled while the rest waits.
    void EnableNavigation(bool enabled) override;

    // --- the source page (text_import_source.cpp)
    [[nodiscard]] std::vector<QString> MemoLines() const;
    void SetMemoLines(const std::vector<QString>& lines);
    // Deletes empty or blank-only lines from the top of the memo.
    void DropLeadingBlankLines();
    // The memo's lines, each followed by CR LF.
    [[nodiscard]] AnsiString MemoText() const;
    void SetImportMode(TImportMode mode);
    void Paste();
    void ChooseFiles();
    void ClearSource();
    // The listed files' lines in the chosen code page, the files apart by one empty row.
    [[nodiscard]] AnsiString ReadListedFiles();
    // Page 0's Next: the memo's text or the listed files into the table.
    void ReadSourceIntoTable();
    void ApplySeparator(char separator);

    // --- the parameters and attribute pages (text_import_params.cpp)
    // The table split again by the separator in force; its first row names the columns. With
    // `keepChoices` the X, Y and classifier columns stay chosen while columns of their names
    // exist.
    void SeparatorChanged(bool keepChoices = true);
    // The first rows of the table under the column names, X and Y marked.
    void UpdateSample();
    // Page 2's proposals for the columns without a target, and the targets in the grid.
    void ProposeFieldTargets();
    [[nodiscard]] std::vector<AnsiString> ColumnNames() const;
    void RebuildColumnLists();
    void ColumnNameEdited(int row);
    // -1 for "< не зависит >" (and for no selection, which the wizard never leaves).
    [[nodiscard]] int ClassifierColumn() const;
    void ClassifierChanged();
    void FillMaps();
    void FillLayers();
    void MapChanged();
    void LayerChanged();
    void PickStyle(int row);
    void PickField(int row);
    void SetStyleCell(int row, const AnsiString& name);
    void UpdateFieldButton();
    // The map's (layer's) position in the host's order; -1 for none.
    [[nodiscard]] int SelectedMapPosition() const;
    [[nodiscard]] int SelectedLayerPosition() const;

    // --- persisted settings (text_import_settings.cpp)
    void ApplySettings();
    void StoreSettings();

    TQmCustomAddon* m_addon = nullptr;
    TComPtr<IKavroApplication> m_application;
    TComPtr<IKavroDb> m_database;

    // Shared with a run while it lasts; the wizard changes it only on the pages before the run's
    // page, whose controls a run's pumped messages cannot reach.
    std::shared_ptr<TCSVData> m_table = std::make_shared<TCSVData>();
    TImportMode m_importMode = TImportMode::Text;
    // The styles of the current layer, "< не импортировать >" first (empty identifier).
    std::vector<TIdNameEntry> m_styleChoices;
    TLayerTableList m_layerTables;
    TImportStyleList m_styles;
    TImportFieldList m_fields;
    // The project view's maps and the selected map's layers, in the host's order.
    std::vector<TIdNameEntry> m_mapEntries;
    std::vector<TIdNameEntry> m_layerEntries;
    // The separator detected in pasted text: it wins over the stored one when page 1 is shown
    // next.
    std::optional<char> m_detectedSeparator;
    // The length of the first listed file's text at the table's start, set when the files are
    // read: page 1, shown next, checks the stored separator against that file's first lines.
    std::optional<std::size_t> m_firstFileLength;
    int m_objectCount = 0;
    // Characters of the listed files that Windows-1251 lacks and that became "?".
    std::int64_t m_replacedCharacters = 0;
    // Set once page 1 has been shown: until then the controls hold no stored choices, and
    // closing leaves the stored settings as they are.
    bool m_settingsApplied = false;

    TProgress m_progress;
    std::unique_ptr<TQtProgressBar> m_progressBarView;
    std::unique_ptr<TQtProgressLabel> m_progressLabelView;

    // Page 0.
    QPlainTextEdit* m_source = nullptr;
    QPushButton* m_srcPaste = nullptr;
    QPushButton* m_srcOpen = nullptr;
    QPushButton* m_srcClear = nullptr;
    QLabel* m_importModeLabel = nullptr;
    QComboBox* m_codePage = nullptr;
    // Page 1.
    QComboBox* m_importType = nullptr;
    QRadioButton* m_tabDivided = nullptr;
    QRadioButton* m_symbolDivided = nullptr;
    QLineEdit* m_divSymbol = nullptr;
    QTableWidget* m_srcFieldsGrid = nullptr;
    QComboBox* m_xCoordField = nullptr;
    QComboBox* m_yCoordField = nullptr;
    TIdCaptionComboBox* m_mapsBox = nullptr;
    TIdCaptionComboBox* m_layersBox = nullptr;
    QLabel* m_classifyLabel = nullptr;
    QComboBox* m_classifyField = nullptr;
    TArrowGrid* m_stylesGrid = nullptr;
    QTableWidget* m_sampleGrid = nullptr;
    // Page 2.
    TArrowGrid* m_fieldsGrid = nullptr;
    // Page 3.
    TImportTransformationPage* m_transformPage = nullptr;
    // Page 4.
    QLabel* m_progressLabel = nullptr;
    QProgressBar* m_progressBar = nullptr;
    QPushButton* m_stopButton = nullptr;
    TRunSummaryPanel* m_runSummary = nullptr;
};
