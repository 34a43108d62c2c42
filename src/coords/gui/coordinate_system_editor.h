// The coordinate system editor: picks one of the catalog's predefined references from a
// filtered list, or describes a system by name, format, parameters, area and X/Y exchange, tests
// it, exchanges it through the clipboard or hands it to the format's constructor dialog.
#pragma once

#include "coords/coordinate_system_catalog.h"
#include "coords/gui/coordinate_system_custom_editor.h"
#include "text/words_filter.h"

#include <QDialog>

#include <cstdint>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QTreeView;
class TCoordinateSystemListModel;
class TDelayedEvent;

struct TCoordinateSystemEditorConfiguration {
    // Undefined references (the local coordinate system among them) are not offered.
    static constexpr std::uint8_t kHideUndefined = 1;
    // The parameter page needs an area.
    static constexpr std::uint8_t kRequireBounds = 2;
    // Only the parameter page: the list page is hidden and never filled.
    static constexpr std::uint8_t kNoListPage = 4;
    static constexpr std::uint8_t kHideSwitchXY = 8;
    // A blank parameter page is accepted and gives an undefined reference.
    static constexpr std::uint8_t kAllowBlank = 32;
    // No constructor dialog: "Конструирование" hidden and disabled.
    static constexpr std::uint8_t kNoCustomEditor = 64;

    std::uint8_t Options = 0;
    // A format the editor does not offer (compared ignoring letter case); empty for none.
    AnsiString ExcludedFormat;

    [[nodiscard]] bool Has(std::uint8_t option) const { return (Options & option) != 0; }
};

class TCoordinateSystemEditorForm final : public QDialog {
public:
    static constexpr int kFilterDelayMs = 200;

    explicit TCoordinateSystemEditorForm(QWidget* owner);
    ~TCoordinateSystemEditorForm() override;

    // Fills the list and the formats and shows the reference: on the list page with its entry
    // selected when the list has one, else on the parameter page.
    void Setup(TCoordinateSystemCatalog& catalog,
               const TCoordinateSystemEditorConfiguration& configuration,
               const TCoordinateReferenceDef& reference);

    // The dialog's result; paste and construct change it as well as OK.
    [[nodiscard]] const TCoordinateReferenceDef& Reference() const { return m_reference; }
    // The delayed refill of the list after the filter text changed.
    [[nodiscard]] TDelayedEvent& FilterEvent() const { return *m_filterEvent; }
    // Refills the list with the filter's current text and updates the custom editor (what the
    // delayed event does when it fires).
    void ApplyFilter();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void BuildControls();
    void FillList();
    void FillFormats();
    void SelectEntry(int row);
    [[nodiscard]] int SelectedRow() const;
    void ShowReference(const TCoordinateReferenceDef& reference);
    void UpdateCustomEditor();
    [[nodiscard]] TCoordinateReferenceFormatPtr SelectedFormat() const;
    // The record on the parameter page without checks (name, format, parameters, X/Y).
    [[nodiscard]] TCoordinateReferenceDef ReadPageFields() const;
    // The record with the checks; raises ECoordinateSystemError.
    [[nodiscard]] TCoordinateReferenceDef ReadPage() const;
    [[nodiscard]] bool OnListPage() const;

    void Ok();
    void Test();
    void CopyToClipboard();
    void PasteFromClipboard();
    void Construct();
    void ClearFormat();
    void ShowFormatDescription();
    // Runs a button's action; an error is shown and the dialog stays as it was.
    template <class Action> void Guarded(Action action);

    TCoordinateSystemCatalog* m_catalog = nullptr;
    TCoordinateSystemEditorConfiguration m_configuration;
    TCoordinateReferenceDef m_reference;
    TWordsFilter m_filter;
    TDelayedEvent* m_filterEvent = nullptr;
    TCoordinateSystemCustomEditorPtr m_customEditor;
    // The formats behind the items of TypeComboBox, in item order.
    TCoordinateReferenceFormatList m_formats;
    bool m_scrollPending = false;

    QTabWidget* m_pages = nullptr;
    QWidget* m_selectPage = nullptr;
    QWidget* m_editPage = nullptr;
    QLineEdit* m_filterEdit = nullptr;
    QTreeView* m_listView = nullptr;
    TCoordinateSystemListModel* m_listModel = nullptr;
    QLineEdit* m_nameEdit = nullptr;
    QComboBox* m_typeCombo = nullptr;
    QPlainTextEdit* m_datumMemo = nullptr;
    QPushButton* m_customEditButton = nullptr;
    QLineEdit* m_boundsEdit = nullptr;
    QCheckBox* m_switchXY = nullptr;
};

// Opens the editor modally over the owner; true when it ended with OK, and only then is the
// reference replaced by the dialog's result.
bool EditCoordinateSystem(QWidget* owner, TCoordinateSystemCatalog& catalog,
                          const TCoordinateSystemEditorConfiguration& configuration,
                          TCoordinateReferenceDef& reference);
// The same with an option set and no excluded format (what the wizards use).
bool EditCoordinateSystem(QWidget* owner, TCoordinateSystemCatalog& catalog, unsigned options,
                          TCoordinateReferenceDef& reference);
// The same with an option set and an excluded format (the zone editor excludes "MSK").
bool EditCoordinateSystem(QWidget* owner, TCoordinateSystemCatalog& catalog, unsigned options,
                          const AnsiString& excludedFormat, TCoordinateReferenceDef& reference);
