// The SDR import wizard: the style, the SDR and RPT files with their preview, whether their
// observations are reduced to coordinates, the attribute table and the fields for the number,
// height and date of each point on the first page; the coordinate transformation on the second,
// whose "Импорт" runs the import in the progress window.
#pragma once

#include "addon/dll_form.h"
#include "sdr/sdr_import_params.h"
#include "sdr/sdr_import_run.h"

#include "ui/gui/wizard_dialog.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <span>
#include <vector>

class QCheckBox;
class QDateEdit;
class QPlainTextEdit;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QStackedWidget;
class TIdCaptionComboBox;
class TImportTransformationPage;
class TRunSummaryPanel;
class TMemoLines;
class TQmCustomAddon;

class TSdrImportForm final : public TWizardDialog, public TQmAddonForm {
public:
    enum TPage : int {
        kSettingsPage = 0,       // style, files, fields and the preview
        kTransformationPage = 1, // the coordinate transformation and "Импорт"
    };

    explicit TSdrImportForm(QWidget* parent = nullptr);
    ~TSdrImportForm() override;

    // Binds the wizard to the add-on: the host application, its active database, and the
    // transformation page's catalog and database system. Failures propagate.
    void Setup(TQmCustomAddon& addon);

    // The settings of an import run as the wizard's controls give them; a field list without a
    // selection or on "<Не импортировать>" gives an empty field name.
    [[nodiscard]] SDRImporter::TSdrImportParams Parameters() const;

    [[nodiscard]] const AnsiString& LayerId() const { return m_layerId; }
    [[nodiscard]] const AnsiString& StyleId() const { return m_styleId; }
    // The files that passed the last preview.
    [[nodiscard]] const std::vector<std::filesystem::path>& Files() const {
        return m_settings.files;
    }
    // The files that failed in the last preview or import, with their messages.
    [[nodiscard]] const SDRImporter::TSdrErrorList& Errors() const { return m_outcome.errors; }
    [[nodiscard]] TImportTransformationPage& TransformationPage() const { return *m_transformPage; }

private:
    QWidget* BuildSettingsPage();
    void Connect();

    void Next() override;
    // The first page's checks before the second page; the first failing one is shown.
    [[nodiscard]] bool CheckSettings();

    // "Выбрать стиль ...": the style and its layer, then the layer's tables and their fields.
    void ChooseStyle();
    // The layer's tables; the first is selected. A host failure raises with the tables read.
    void FillTables();
    // The three field lists from the selected table; all empty when there is no table.
    void FillFieldLists();
    void FillFieldList(TIdCaptionComboBox& box, IKavroSemTable& table,
                       std::span<const std::int32_t> types);

    // "Обзор ...": the chosen files through the preview; FilesEdit lists those that passed.
    void ChooseFiles();
    void Preview(std::vector<std::filesystem::path> files);
    // "Вычислять координаты по измерениям": the files chosen are listed again as they now read.
    void ReduceObservationsChanged();
    void ShowFiles();
    [[nodiscard]] SDRImporter::TSdrRunSettings RunSettings() const;
    // The last page's lines about the run the current choices make (on that page only).
    void ShowRunPlan();
    void RunImport();
    // The style and file buttons and the transformation page wait for a run too.
    void EnableNavigation(bool enabled) override;

    TQmCustomAddon* m_addon = nullptr;
    AnsiString m_layerId;
    AnsiString m_styleId;
    // The files and host handles every run is given; the import adds the parameters.
    SDRImporter::TSdrRunSettings m_settings;
    SDRImporter::TSdrRunOutcome m_outcome;
    std::unique_ptr<TMemoLines> m_log;

    // The first page.
    QLineEdit* m_layerEdit = nullptr;
    QPushButton* m_styleButton = nullptr;
    QPlainTextEdit* m_filesEdit = nullptr;
    QPushButton* m_selectFileButton = nullptr;
    QCheckBox* m_reduceBox = nullptr;
    TIdCaptionComboBox* m_tableBox = nullptr;
    TIdCaptionComboBox* m_numberBox = nullptr;
    TIdCaptionComboBox* m_heightBox = nullptr;
    QSpinBox* m_precisionEdit = nullptr;
    TIdCaptionComboBox* m_dateBox = nullptr;
    QDateEdit* m_importDate = nullptr;
    QPlainTextEdit* m_previewMemo = nullptr;
    // The second page.
    TImportTransformationPage* m_transformPage = nullptr;
    TRunSummaryPanel* m_runSummary = nullptr;
};
