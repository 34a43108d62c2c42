// The zone editor of local zone systems ("MSK"): composes the system from zones, each an
// ordinary coordinate system with its area, edited in the coordinate system editor.
#pragma once

#include "coords/gui/coordinate_system_custom_editor.h"
#include "coords/msk.h"

#include <QDialog>

class QLineEdit;
class QPushButton;
class QTreeWidget;

class TMSKCoordinateSystemEditor final : public QDialog {
public:
    // Reads the zones from the reference's parameters; raises ECoordinateSystemError "Ошибка
    // считывания параметров МСК" when they are not a zone list.
    TMSKCoordinateSystemEditor(QWidget* owner, TCoordinateSystemCatalog& catalog,
                               const TCoordinateReferenceDef& reference);

    // Opens the editor modally; true after OK, and only then is the reference replaced.
    static bool Execute(QWidget* owner, TCoordinateSystemCatalog& catalog,
                        TCoordinateReferenceDef& reference);

    // The reference after OK: the caption typed and the zones as its parameters.
    [[nodiscard]] const TCoordinateReferenceDef& Reference() const { return m_result; }
    [[nodiscard]] const TCoordinateReferenceList& Zones() const { return m_msk.Zones(); }

private:
    void FillZones(int selectRow);
    [[nodiscard]] int SelectedZone() const;
    void UpdateButtons();
    // The record with the caption from the form and the zones written as its parameters.
    [[nodiscard]] TCoordinateReferenceDef ComposeReference();
    // Raises when the composed system cannot be used.
    void Validate(const TCoordinateReferenceDef& def);

    void AddZone();
    void EditZone();
    void RemoveZone();
    void Test();
    void Ok();
    template <class Action> void Guarded(Action action);

    TCoordinateSystemCatalog& m_catalog;
    TMSKCoordinateReference m_msk;
    TCoordinateReferenceDef m_result;

    QLineEdit* m_nameEdit = nullptr;
    QTreeWidget* m_zoneList = nullptr;
    QPushButton* m_editButton = nullptr;
    QPushButton* m_removeButton = nullptr;
};

// The custom editor registered for "MSK".
class TMSKCoordinateSystemCustomEditor final : public TCoordinateSystemCustomEditor {
public:
    bool Edit(QWidget* owner, TCoordinateSystemCatalog& catalog,
              TCoordinateReferenceDef& reference) override {
        return TMSKCoordinateSystemEditor::Execute(owner, catalog, reference);
    }
};

// Registers the module's own constructor dialogs (the zone editor for "MSK"); the module calls
// it when it is loaded and FreeCoordinateSystemCustomEditors when it is unloaded.
void RegisterStandardCoordinateSystemEditors();
