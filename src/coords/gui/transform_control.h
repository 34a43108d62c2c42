// The editor of an affine chain: a list of the chain's steps with a panel of buttons beside it
// and a context menu with shortcuts.
#pragma once

#include "coords/transform_data.h"

#include <QWidget>

#include <memory>

class QAction;
class QMenu;
class QPushButton;
class QTreeWidget;

class TTransformControl final : public QWidget {
public:
    // The kinds of step the control adds.
    enum class TKind { Translation, Scaling, Rotation, Shear };

    // Edits a chain of its own.
    explicit TTransformControl(QWidget* parent = nullptr);
    // Edits `chain`, which must outlive the control; the control takes over its OnChange.
    explicit TTransformControl(TTransformData& chain, QWidget* parent = nullptr);
    ~TTransformControl() override;

    TTransformData& Chain() const { return *m_chain; }

    // The commands of the buttons and the menu. Failures (clipboard, a paste that does not
    // read) are shown through the interaction service.
    // Opens the kind's dialog on a default step; on OK appends a copy and selects it.
    void Add(TKind kind);
    // Opens the dialog of the selected step; on OK its values go into the step.
    void EditSelected();
    // Deletes the selected step and selects the one now at its place (or the last one). With
    // `confirm` the user is asked first and No keeps the step.
    void DeleteSelected(bool confirm);
    void ClearAll();
    // Exchange the selected step with its neighbour; nothing at the ends.
    void MoveSelectedUp();
    void MoveSelectedDown();
    void CopyToClipboard();
    void PasteFromClipboard();

    // The selected step, or null.
    [[nodiscard]] TTransformItem* SelectedItem() const;
    // Selects and focuses the row of the item once the event loop gets to it, so that the
    // selection follows a command also when the list was rebuilt in between.
    void SelectItemLater(const TTransformItem* item);

    QTreeWidget* List() const { return m_list; }
    // The list's context menu (the sub-menu "Добавить" is its first entry).
    QMenu* ContextMenu() const { return m_menu; }

    // The editing bracket: the list stops repainting and the chain collects its changes into one
    // notification until the outermost level ends. Nestable.
    void BeginUpdate();
    void EndUpdate();
    // Whether the chain changed inside the current bracket.
    [[nodiscard]] bool ChangedInUpdate() const { return m_changed; }

    QSize sizeHint() const override;

protected:
    bool event(QEvent* event) override;

private:
    void Build();
    void CreateActions();
    QPushButton* AddButton(const char* objectName, const char* caption);
    // Rebuilds the rows from the chain and selects the previously selected item's row again.
    void RebuildList();
    void SelectItem(const TTransformItem* item);
    int SelectedIndex() const;
    // Runs a command inside the update bracket; its failures are shown to the user.
    template <class TCommand> void RunCommand(TCommand command);

    std::unique_ptr<TTransformData> m_ownChain;
    TTransformData* m_chain;
    QTreeWidget* m_list = nullptr;
    QWidget* m_panel = nullptr;
    QMenu* m_menu = nullptr;
    int m_updateLevel = 0;
    bool m_changed = false;
    bool m_destroying = false;
};
