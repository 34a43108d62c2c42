// The search dialog of a tree: a word filter over a copy of the tree, the matching nodes shown
// in bold with their ancestors, and the chosen node handed back.
#pragma once

#include "addon/gui/tree_view_search_source.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;

class TSearchInTreeForm final : public QDialog {
public:
    // How long the filter waits after the last change before it is applied.
    static constexpr int kFilterDelayMs = 100;

    explicit TSearchInTreeForm(QWidget* parent = nullptr);
    ~TSearchInTreeForm() override;

    // Copies the source's tree (the source must outlive the dialog's use), puts the filter
    // text in and applies it, focusing the result of `preselected` when it shows.
    void Open(const ITreeSource& source, TTreeSourceNode preselected, const AnsiString& filterText);
    // The source node of the focused result; null for none.
    [[nodiscard]] TTreeSourceNode FocusedSourceNode() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ApplyFilter(TTreeSourceNode preselected);
    // OK and a double click on a result: ends the dialog when a result is focused.
    void Confirm();

    QLabel* m_filterLabel;
    QLineEdit* m_filter;
    QTreeWidget* m_searchTree;
    QPushButton* m_ok;
    QPushButton* m_cancel;
    QTimer* m_timer;
    const ITreeSource* m_source = nullptr;
    TNode m_root;
};

// Searches the tree widget; the chosen node becomes its selected node and is made visible.
// Returns it, or null when the search was cancelled.
QTreeWidgetItem* SearchInTreeView(QTreeWidget& tree, const TTreeImages* images,
                                  const AnsiString& initialText, std::intptr_t userValue = 0,
                                  TTreeViewSearchSource::TAccept accept = nullptr);
