// The PTS import wizard: the file with its preview, the style, the attribute table and its two
// fields on the first page; the coordinate transformation on the second, from which the import
// runs. Nothing of it is kept between uses.
#pragma once

#include "addon/dll_form.h"
#include "addon/layer_tables.h"
#include "host_api/automation_api.h"
#include "platform/codepage.h"
#include "pts/pts_import_run.h"
#include "ui/gui/wizard_dialog.h"

#include <filesystem>
#include <functional>
#include <vector>

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;
class TImportTransformationPage;
class TRunSummaryPanel;
class TQmCustomAddon;

class TPtsImportForm final : public TWizardDialog, public TQmAddonForm {
public:
    enum TPage : int { kSettingsPage = 0, kTransformationPage = 1 };

    explicit TPtsImportForm(QWidget* parent = nullptr);
    ~TPtsImportForm() override;

    // Binds the wizard to the add-on, its host application and active database, and sets up the
    // transformation page (the catalog first, then the database's system). Failures propagate.
    void Setup(TQmCustomAddon& addon);

    [[nodiscard]] const AnsiString& LayerId() const { return m_layerId; }
    [[nodiscard]] const AnsiString& StyleId() const { return m_styleId; }
    // The chosen file as the edit holds it; empty when none is chosen.
    [[nodiscard]] std::filesystem::path FileName() const;
    [[nodiscard]] TImportTransformationPage& TransformationPage() const { return *m_transformPage; }

private:
    QWidget* BuildSettingsPage();
    void Connect();

    void Next() override;

    // "...": the open-file dialog, then the preview; where the file does not read, the preview
    // ends with the reason and the file stays chosen.
    void ChooseFile();
    // "...": the style chooser, then the layer's tables and the caption of the choice.
    void ChooseStyle();
    // The field lists for the selected table, keeping each list's selected name where it can.
    void FillFieldLists();
    struct TPtsFieldChoices {
        std::vector<AnsiString> numberFields;
        std::vector<AnsiString> commentFields;
    };
    [[nodiscard]] TPtsFieldChoices ReadFieldChoices(const AnsiString& tableId) const;
    static void FillList(QComboBox& box, const std::vector<AnsiString>& names);

    // The settings a run takes from the pages; a table list without a selection is refused.
    [[nodiscard]] PtsImportForms::TPtsImportSettings Settings();
    // The last page's lines about the run the current choices make (on that page only).
    void ShowRunPlan();
    void RunImport();

    TQmCustomAddon* m_addon = nullptr;
    TComPtr<IKavroApplication> m_application;
    TComPtr<IKavroDb> m_database;
    AnsiString m_layerId;
    AnsiString m_styleId;
    // One per entry of the table list, in its order.
    std::vector<TTableChoice> m_tables;

    QLineEdit* m_fileEdit = nullptr;
    QPushButton* m_fileButton = nullptr;
    QLineEdit* m_layerEdit = nullptr;
    QPushButton* m_layerStyleButton = nullptr;
    QComboBox* m_tableBox = nullptr;
    QComboBox* m_numberBox = nullptr;
    QComboBox* m_commentBox = nullptr;
    QPlainTextEdit* m_memo = nullptr;
    TImportTransformationPage* m_transformPage = nullptr;
    TRunSummaryPanel* m_runSummary = nullptr;
};
