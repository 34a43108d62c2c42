// Driving a dialog by its controls' names outside a test (the screens tool, the benchmarks): a
// control that is not there, or an entry that a list does not have, raises, so that the tool
// stops with the name instead of rendering or timing the wrong thing.
#pragma once

#include "support/modal_driver.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QTreeWidget>
#include <QWidget>

#include <stdexcept>
#include <string>

template <class T = QWidget> T* Find(QWidget& root, const char* name) {
    T* widget = root.findChild<T*>(QString::fromLatin1(name));
    if (!widget)
        throw std::runtime_error(std::string("no control ") + name);
    return widget;
}

// Chooses the entry with the text as the user does: the selection changes and the list
// reports the choice.
inline void Choose(QWidget& root, const char* comboName, const char* utf8) {
    auto* box = Find<QComboBox>(root, comboName);
    const int index = box->findText(QString::fromUtf8(utf8));
    if (index < 0)
        throw std::runtime_error(std::string("no entry ") + utf8);
    box->setCurrentIndex(index);
    emit box->activated(index);
}

// The style chooser is a modal dialog of its own: once it shows, the style with the caption is
// selected and confirmed.
inline void ConfirmStyleInChooser(const QString& style) {
    WhenShown("ProjectTreeForm", [style](QWidget* chooser) {
        auto* tree = Find<QTreeWidget>(*chooser, "ProjectTree");
        const auto found = tree->findItems(style, Qt::MatchExactly | Qt::MatchRecursive);
        if (!found.isEmpty())
            tree->setCurrentItem(found.front());
        Find<QAbstractButton>(*chooser, "OkButton")->click();
    });
}
