// The chooser of a map, layer or style of the host's map project.
#pragma once

#include "addon/dll_form.h"
#include "addon/project_tree.h"

#include <QDialog>

#include <optional>
#include <string_view>

class QLabel;
class QMenu;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class TQmCustomAddon;

class TProjectTreeForm final : public QDialog, public TDllForm {
public:
    explicit TProjectTreeForm(QWidget* parent = nullptr);

    // Reads the project's tree for the requested kind (maps; maps and layers; maps, layers and
    // styles). Host failures raise EHResultError.
    void Fill(const TQmCustomAddon& addon, TProjectNodeKind kind);
    // Selects the first node in tree order (each node before its children) with the
    // identifier, preferring one of the requested kind, and makes it visible; selects nothing
    // when no node has it.
    void Preselect(std::string_view id);

    [[nodiscard]] TProjectNodeKind Kind() const { return m_kind; }
    // The selected node; nullopt when none is selected.
    [[nodiscard]] std::optional<TIDHolder> SelectedNode() const;

private:
    void UpdateOkButton();
    // "Найти ...": the found node becomes the selected one.
    void FindItem();

    QLabel* m_treeLabel;
    QTreeWidget* m_projectTree;
    QMenu* m_popupMenu;
    QPushButton* m_ok;
    QPushButton* m_cancel;
    TProjectNodeKind m_kind = TProjectNodeKind::Style;
};

// The chooser the wizards open. On OK, id becomes the identifier of the selected node when it
// is of the requested kind, else empty, and the result is whether it changed; on Cancel id
// stays and the result is false. Host failures while reading the project raise
// EHResultError. Without an owner the dialog belongs to the open modal dialog, else to the
// host's window.
bool SelectInProjectTree(const TQmCustomAddon& addon, const AnsiString& caption,
                         TProjectNodeKind kind, AnsiString& id, QWidget* owner = nullptr);
