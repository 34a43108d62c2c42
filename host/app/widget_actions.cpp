#include "widget_actions.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QDateTimeEdit>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QRegularExpression>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTextEdit>

#include <cmath>

namespace kavrohost {

namespace {

QString Quoted(const QString& text) {
    return '"' + text + '"';
}

QString ClassOf(const QWidget* w) {
    return QString::fromLatin1(w->metaObject()->className());
}

// The first entries of a model's first column, for messages.
QString Entries(const QAbstractItemModel* model) {
    QStringList list;
    const int rows = model->rowCount();
    for (int r = 0; r < rows && r < 12; ++r)
        list << Quoted(model->index(r, 0).data().toString());
    if (rows > 12)
        list << "...";
    return list.isEmpty() ? QStringLiteral("none") : list.join(", ");
}

QString ComboEntries(const QComboBox* combo) {
    return Entries(combo->model());
}

// A left click (or a double click) at a point of a widget, as the mouse gives it.
void Click(QWidget* widget, QPoint at, Qt::KeyboardModifiers modifiers, bool twice) {
    QPointer<QWidget> w(widget);
    const QPointF local(at);
    const QPointF global(widget->mapToGlobal(local));
    auto send = [&](QEvent::Type type, Qt::MouseButtons buttons) {
        if (!w)
            return;
        QMouseEvent e(type, local, global, Qt::LeftButton, buttons, modifiers);
        QApplication::sendEvent(w, &e);
    };
    send(QEvent::MouseButtonPress, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, Qt::NoButton);
    if (twice) {
        send(QEvent::MouseButtonDblClick, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, Qt::NoButton);
    }
}

void PressKey(QWidget* widget, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(widget, &release);
}

// Replaces the text as typing over a selection does (textEdited and textChanged), then ends
// the editing as moving on to the next control does (editingFinished).
QString TypeInto(QLineEdit* edit, const QString& text) {
    edit->setFocus(Qt::OtherFocusReason);
    edit->selectAll();
    edit->insert(text);
    if (edit->hasAcceptableInput())
        emit edit->editingFinished();
    if (edit->text() != text)
        return "took " + Quoted(text) + " as " + Quoted(edit->text());
    return {};
}

std::optional<QPersistentModelIndex> Cell(QAbstractItemView* view, const TSessionStep& step,
                                          QString& why) {
    const QAbstractItemModel* model = view->model();
    const int row = step.Int("row"), column = step.Int("column");
    if (!model || row >= model->rowCount() || column >= model->columnCount()) {
        why = QString("has no cell (%1, %2): it has %3 rows and %4 columns")
                  .arg(row)
                  .arg(column)
                  .arg(model ? model->rowCount() : 0)
                  .arg(model ? model->columnCount() : 0);
        return std::nullopt;
    }
    return QPersistentModelIndex(model->index(row, column));
}

// The editor a view opened for a cell: a new child of its viewport, else the one over the cell.
QWidget* EditorOf(QAbstractItemView* view, const QModelIndex& index,
                  const QList<QWidget*>& before) {
    const auto children = view->viewport()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* w : children)
        if (!before.contains(w) && w->isVisible())
            return w;
    const QPoint centre = view->visualRect(index).center();
    for (QWidget* w : children)
        if (w->isVisible() && w->geometry().contains(centre))
            return w;
    return nullptr;
}

TAttempt PlanSetCell(QAbstractItemView* view, const TSessionStep& step) {
    QString why;
    auto cell = Cell(view, step, why);
    if (!cell)
        return TAttempt::Wait(why);
    if (!(view->model()->flags(*cell) & Qt::ItemIsEditable) ||
        view->editTriggers() == QAbstractItemView::NoEditTriggers)
        return TAttempt::Fail(QString("the cell (%1, %2) cannot be edited")
                                  .arg(step.Int("row"))
                                  .arg(step.Int("column")));
    TSessionStep value = step;
    value.options.erase("row");
    value.options.erase("column");
    return TAttempt::Ready([v = QPointer(view), index = *cell, value]() -> QString {
        if (!v || !index.isValid())
            return "the table is gone";
        v->scrollTo(index);
        v->setCurrentIndex(index);
        const auto before = v->viewport()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        v->edit(index);
        QPointer<QWidget> editor = EditorOf(v, index, before);
        if (!editor)
            return "the cell did not open an editor";
        QAbstractItemDelegate* delegate = v->itemDelegateForIndex(index);
        TAttempt set = PlanSet(editor, value);
        QString error = set.reason;
        if (set.state == TAttempt::TState::Ready && set.perform)
            error = set.perform();
        if (!error.isEmpty()) {
            if (editor)
                emit delegate->closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
            return "the cell's editor " + error;
        }
        if (editor) {
            emit delegate->commitData(editor);
            emit delegate->closeEditor(editor, QAbstractItemDelegate::NoHint);
        }
        return {};
    });
}

TAttempt SetCombo(QComboBox* combo, const TSessionStep& step) {
    int index = -1;
    QString text;
    if (step.Has("index")) {
        index = step.Int("index");
        if (index >= combo->count())
            return TAttempt::Wait(QString("has %1 entries, no entry %2: %3")
                                      .arg(combo->count())
                                      .arg(index)
                                      .arg(ComboEntries(combo)));
    } else if (step.Has("text")) {
        text = step.Text("text");
        index = combo->findText(text, Qt::MatchExactly);
        if (index < 0 && !combo->isEditable())
            return TAttempt::Wait("has no entry " + Quoted(text) + ": " + ComboEntries(combo));
    } else {
        return TAttempt::Fail("is a combo box: it takes \"index\" or \"text\"");
    }
    return TAttempt::Ready([c = QPointer(combo), index, text]() -> QString {
        if (!c)
            return "is gone";
        if (index < 0)
            return TypeInto(c->lineEdit(), text);
        c->setCurrentIndex(index);
        emit c->activated(index);
        emit c->textActivated(c->itemText(index));
        return {};
    });
}

TAttempt SetChecked(QWidget* control, const TSessionStep& step) {
    const bool want = step.Bool("checked");
    if (auto* group = qobject_cast<QGroupBox*>(control)) {
        if (!group->isCheckable())
            return TAttempt::Fail("is a group box without a check box");
        if (group->isChecked() == want)
            return TAttempt::Ready();
        return TAttempt::Ready([g = QPointer(group), want]() -> QString {
            if (!g)
                return "is gone";
            g->setChecked(want);
            emit g->clicked(want);
            return {};
        });
    }
    auto* button = qobject_cast<QAbstractButton*>(control);
    if (!button || !button->isCheckable())
        return TAttempt::Fail("is a " + ClassOf(control) + ": it cannot be checked");
    if (button->isChecked() == want)
        return TAttempt::Ready();
    if (!want && button->autoExclusive())
        return TAttempt::Fail("is a radio button: it is cleared by checking another one");
    return TAttempt::Ready([b = QPointer(button)]() -> QString {
        if (!b)
            return "is gone";
        b->click();
        return {};
    });
}

TAttempt SetValue(QWidget* control, const TSessionStep& step) {
    const double value = step.Number("value");
    auto outside = [&](double min, double max) {
        return TAttempt::Fail(
            QString("takes %1 to %2, not %3").arg(min, 0, 'g', 15).arg(max, 0, 'g', 15).arg(value));
    };
    if (auto* spin = qobject_cast<QSpinBox*>(control)) {
        if (value != std::floor(value))
            return TAttempt::Fail("takes whole numbers");
        if (value < spin->minimum() || value > spin->maximum())
            return outside(spin->minimum(), spin->maximum());
        return TAttempt::Ready([s = QPointer(spin), v = static_cast<int>(value)]() -> QString {
            if (!s)
                return "is gone";
            s->setValue(v);
            emit s->editingFinished();
            return {};
        });
    }
    if (auto* spin = qobject_cast<QDoubleSpinBox*>(control)) {
        if (value < spin->minimum() || value > spin->maximum())
            return outside(spin->minimum(), spin->maximum());
        return TAttempt::Ready([s = QPointer(spin), value]() -> QString {
            if (!s)
                return "is gone";
            s->setValue(value);
            emit s->editingFinished();
            return {};
        });
    }
    if (auto* slider = qobject_cast<QAbstractSlider*>(control)) {
        if (value < slider->minimum() || value > slider->maximum())
            return outside(slider->minimum(), slider->maximum());
        return TAttempt::Ready([s = QPointer(slider), v = static_cast<int>(value)]() -> QString {
            if (!s)
                return "is gone";
            s->setValue(v);
            return {};
        });
    }
    return TAttempt::Fail("is a " + ClassOf(control) + ": it takes no \"value\"");
}

TAttempt SetDate(QWidget* control, const TSessionStep& step) {
    auto* edit = qobject_cast<QDateTimeEdit*>(control);
    if (!edit)
        return TAttempt::Fail("is a " + ClassOf(control) + ": it takes no \"date\"");
    const QDateTime when = *StepDate(step.Text("date"));
    const bool dateOnly = qobject_cast<QDateEdit*>(control) != nullptr;
    if (dateOnly ? (when.date() < edit->minimumDate() || when.date() > edit->maximumDate())
                 : (when < edit->minimumDateTime() || when > edit->maximumDateTime()))
        return TAttempt::Fail("takes dates from " + edit->minimumDate().toString(Qt::ISODate) +
                              " to " + edit->maximumDate().toString(Qt::ISODate));
    return TAttempt::Ready([e = QPointer(edit), when, dateOnly]() -> QString {
        if (!e)
            return "is gone";
        if (dateOnly)
            e->setDate(when.date());
        else
            e->setDateTime(when);
        emit e->editingFinished();
        return {};
    });
}

TAttempt SetText(QWidget* control, const TSessionStep& step) {
    const QString text = step.Text("text");
    if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        if (edit->isReadOnly())
            return TAttempt::Fail("is read-only");
        return TAttempt::Ready([e = QPointer(edit), text]() -> QString {
            return e ? TypeInto(e, text) : QStringLiteral("is gone");
        });
    }
    if (auto* edit = qobject_cast<QPlainTextEdit*>(control)) {
        if (edit->isReadOnly())
            return TAttempt::Fail("is read-only");
        return TAttempt::Ready([e = QPointer(edit), text]() -> QString {
            if (!e)
                return "is gone";
            e->setFocus(Qt::OtherFocusReason);
            e->setPlainText(text);
            return {};
        });
    }
    if (auto* edit = qobject_cast<QTextEdit*>(control)) {
        if (edit->isReadOnly())
            return TAttempt::Fail("is read-only");
        return TAttempt::Ready([e = QPointer(edit), text]() -> QString {
            if (!e)
                return "is gone";
            e->setFocus(Qt::OtherFocusReason);
            e->setPlainText(text);
            return {};
        });
    }
    return TAttempt::Fail("is a " + ClassOf(control) + ": it takes no \"text\"");
}

std::optional<QString> ControlText(QWidget* w) {
    if (auto* e = qobject_cast<QLineEdit*>(w))
        return e->text();
    if (auto* e = qobject_cast<QPlainTextEdit*>(w))
        return e->toPlainText();
    if (auto* e = qobject_cast<QTextEdit*>(w))
        return e->toPlainText();
    if (auto* l = qobject_cast<QLabel*>(w))
        return l->text();
    if (auto* b = qobject_cast<QAbstractButton*>(w))
        return PlainCaption(b->text());
    if (auto* c = qobject_cast<QComboBox*>(w))
        return c->currentText();
    if (auto* s = qobject_cast<QAbstractSpinBox*>(w))
        return s->text();
    if (auto* g = qobject_cast<QGroupBox*>(w))
        return g->title();
    if (auto* p = qobject_cast<QProgressBar*>(w))
        return p->text();
    if (auto* v = qobject_cast<QAbstractItemView*>(w))
        return v->currentIndex().data().toString();
    if (auto* m = qobject_cast<QMessageBox*>(w))
        return MessageBoxText(m);
    if (w->isWindow())
        return w->windowTitle();
    return std::nullopt;
}

std::optional<int> ControlIndex(QWidget* w) {
    if (auto* c = qobject_cast<QComboBox*>(w))
        return c->currentIndex();
    if (auto* t = qobject_cast<QTabWidget*>(w))
        return t->currentIndex();
    if (auto* s = qobject_cast<QStackedWidget*>(w))
        return s->currentIndex();
    if (auto* v = qobject_cast<QAbstractItemView*>(w))
        return v->currentIndex().isValid() ? v->currentIndex().row() : -1;
    return std::nullopt;
}

std::optional<int> ControlCount(QWidget* w) {
    if (auto* c = qobject_cast<QComboBox*>(w))
        return c->count();
    if (auto* t = qobject_cast<QTabWidget*>(w))
        return t->count();
    if (auto* s = qobject_cast<QStackedWidget*>(w))
        return s->count();
    if (auto* v = qobject_cast<QAbstractItemView*>(w))
        return v->model() ? v->model()->rowCount() : 0;
    return std::nullopt;
}

std::optional<double> ControlValue(QWidget* w) {
    if (auto* s = qobject_cast<QSpinBox*>(w))
        return s->value();
    if (auto* s = qobject_cast<QDoubleSpinBox*>(w))
        return s->value();
    if (auto* s = qobject_cast<QAbstractSlider*>(w))
        return s->value();
    if (auto* p = qobject_cast<QProgressBar*>(w))
        return p->value();
    return std::nullopt;
}

std::optional<bool> ControlChecked(QWidget* w) {
    if (auto* b = qobject_cast<QAbstractButton*>(w))
        return b->isChecked();
    if (auto* g = qobject_cast<QGroupBox*>(w); g && g->isCheckable())
        return g->isChecked();
    return std::nullopt;
}

} // namespace

QWidget* FindControl(QWidget* window, const QString& name) {
    QWidget* hidden = nullptr;
    const auto named = window->findChildren<QWidget*>(name);
    for (QWidget* w : named) {
        if (w->window() != window)
            continue;
        if (w->isVisible())
            return w;
        if (!hidden)
            hidden = w;
    }
    return hidden;
}

QAbstractButton* FindButton(QWidget* window, const QString& nameOrCaption) {
    if (auto* b = qobject_cast<QAbstractButton*>(FindControl(window, nameOrCaption)))
        return b;
    const QString caption = PlainCaption(nameOrCaption);
    QAbstractButton* hidden = nullptr;
    const auto buttons = window->findChildren<QAbstractButton*>();
    for (QAbstractButton* b : buttons) {
        if (b->window() != window || PlainCaption(b->text()) != caption)
            continue;
        if (b->isVisible())
            return b;
        if (!hidden)
            hidden = b;
    }
    return hidden;
}

std::optional<QString> Blocked(QWidget* control) {
    QWidget* window = control->window();
    if (QWidget* popup = QApplication::activePopupWidget(); popup && popup != window)
        return "a popup is open over it: " + DescribeWindow(popup);
    if (QWidget* modal = QApplication::activeModalWidget(); modal && modal != window)
        return "a dialog is open over it: " + DescribeWindow(modal);
    return std::nullopt;
}

QString MessageBoxText(QMessageBox* box) {
    QString text = box->text();
    if (!box->informativeText().isEmpty())
        text += '\n' + box->informativeText();
    if (!box->detailedText().isEmpty())
        text += '\n' + box->detailedText();
    return text;
}

QString DescribeWindow(QWidget* window) {
    if (auto* box = qobject_cast<QMessageBox*>(window))
        return "message box " + Quoted(MessageBoxText(box).left(300));
    QString text = Quoted(window->windowTitle());
    if (!window->objectName().isEmpty())
        text += " (" + window->objectName() + ")";
    if (qobject_cast<QFileDialog*>(window))
        return "file dialog " + text;
    return text;
}

TAttempt PlanSet(QWidget* control, const TSessionStep& step) {
    if (step.Has("row")) {
        auto* view = qobject_cast<QAbstractItemView*>(control);
        if (!view)
            return TAttempt::Fail("is a " + ClassOf(control) + ": it has no cells");
        return PlanSetCell(view, step);
    }
    if (auto* combo = qobject_cast<QComboBox*>(control))
        return SetCombo(combo, step);
    if (step.Has("checked"))
        return SetChecked(control, step);
    if (step.Has("value"))
        return SetValue(control, step);
    if (step.Has("date"))
        return SetDate(control, step);
    if (step.Has("index")) {
        auto* tabs = qobject_cast<QTabWidget*>(control);
        if (!tabs)
            return TAttempt::Fail("is a " + ClassOf(control) + ": it takes no \"index\"");
        const int index = step.Int("index");
        if (index >= tabs->count())
            return TAttempt::Wait(QString("has %1 pages").arg(tabs->count()));
        return TAttempt::Ready([t = QPointer(tabs), index]() -> QString {
            if (!t)
                return "is gone";
            t->setCurrentIndex(index);
            return {};
        });
    }
    return SetText(control, step);
}

TAttempt PlanSelect(QWidget* control, const TSessionStep& step) {
    auto* view = qobject_cast<QAbstractItemView*>(control);
    if (!view)
        return TAttempt::Fail("is a " + ClassOf(control) + ", not a list, tree or table");
    QAbstractItemModel* model = view->model();
    if (!model)
        return TAttempt::Wait("has no content");
    std::vector<QPersistentModelIndex> targets;
    if (step.Has("rows")) {
        for (int row : step.Ints("rows")) {
            if (row >= model->rowCount())
                return TAttempt::Wait(
                    QString("has %1 rows, no row %2").arg(model->rowCount()).arg(row));
            targets.emplace_back(model->index(row, 0));
        }
    } else if (step.Has("items")) {
        for (const QString& text : step.Texts("items")) {
            const auto found = model->match(model->index(0, 0), Qt::DisplayRole, text, 1,
                                            Qt::MatchExactly | Qt::MatchRecursive);
            if (found.isEmpty())
                return TAttempt::Wait("has no entry " + Quoted(text) + ": " + Entries(model));
            targets.emplace_back(found.first());
        }
    } else {
        QString why;
        auto cell = Cell(view, step, why);
        if (!cell)
            return TAttempt::Wait(why);
        targets.push_back(*cell);
    }
    if (targets.size() > 1 && (view->selectionMode() == QAbstractItemView::SingleSelection ||
                               view->selectionMode() == QAbstractItemView::NoSelection))
        return TAttempt::Fail("selects one entry at a time");
    const bool twice = step.Has("double") && step.Bool("double");
    return TAttempt::Ready([v = QPointer(view), targets, twice]() -> QString {
        for (std::size_t i = 0; i < targets.size(); ++i) {
            if (!v || !targets[i].isValid())
                return "is gone";
            v->scrollTo(targets[i]);
            const QRect rect = v->visualRect(targets[i]);
            if (rect.isEmpty())
                return "does not show the entry " + Quoted(targets[i].data().toString());
            Click(v->viewport(), rect.center(), i == 0 ? Qt::NoModifier : Qt::ControlModifier,
                  twice && i + 1 == targets.size());
        }
        return {};
    });
}

TAttempt CheckControl(QWidget* control, const TSessionStep& step) {
    QStringList wrong;
    std::optional<QPersistentModelIndex> cell;
    if (step.Has("row")) {
        auto* view = qobject_cast<QAbstractItemView*>(control);
        if (!view)
            return TAttempt::Fail("is a " + ClassOf(control) + ": it has no cells");
        QString why;
        cell = Cell(view, step, why);
        if (!cell)
            return TAttempt::Wait(why);
    }
    if (step.Has("enabled") && control->isEnabled() != step.Bool("enabled"))
        wrong << (control->isEnabled() ? "is enabled" : "is disabled");
    if (step.Has("visible") && control->isVisible() != step.Bool("visible"))
        wrong << (control->isVisible() ? "is visible" : "is hidden");
    if (step.Has("text") || step.Has("contains")) {
        auto text = cell ? std::optional<QString>(cell->data().toString()) : ControlText(control);
        if (!text)
            return TAttempt::Fail("is a " + ClassOf(control) + ": it shows no text");
        if ((step.Has("text") && *text != step.Text("text")) ||
            (step.Has("contains") && !text->contains(step.Text("contains"))))
            wrong << "shows " + Quoted(*text);
    }
    if (step.Has("checked")) {
        auto checked =
            cell ? std::optional<bool>(cell->data(Qt::CheckStateRole).toInt() == Qt::Checked)
                 : ControlChecked(control);
        if (!checked)
            return TAttempt::Fail("is a " + ClassOf(control) + ": it cannot be checked");
        if (*checked != step.Bool("checked"))
            wrong << (*checked ? "is checked" : "is not checked");
    }
    if (step.Has("index")) {
        auto index = ControlIndex(control);
        if (!index)
            return TAttempt::Fail("is a " + ClassOf(control) + ": it has no index");
        if (*index != step.Int("index"))
            wrong << QString("is at index %1").arg(*index);
    }
    if (step.Has("count")) {
        auto count = ControlCount(control);
        if (!count)
            return TAttempt::Fail("is a " + ClassOf(control) + ": it has no entries to count");
        if (*count != step.Int("count"))
            wrong << QString("has %1 entries").arg(*count);
    }
    if (step.Has("value")) {
        auto value = ControlValue(control);
        if (!value)
            return TAttempt::Fail("is a " + ClassOf(control) + ": it has no value");
        if (std::abs(*value - step.Number("value")) > 1e-9)
            wrong << QString("has the value %1").arg(*value, 0, 'g', 15);
    }
    return wrong.isEmpty() ? TAttempt::Ready() : TAttempt::Wait(wrong.join("; "));
}

TAttempt PlanAnswer(QMessageBox* box, const TSessionStep& step) {
    const QString text = MessageBoxText(box);
    if (step.Has("message") && !text.contains(step.Text("message")))
        return TAttempt::Fail("the message box says " + Quoted(text) + ", not " +
                              Quoted(step.Text("message")));
    QStringList captions;
    for (QAbstractButton* b : box->buttons()) {
        if (PlainCaption(b->text()) == PlainCaption(step.target))
            return TAttempt::Ready([button = QPointer(b)]() -> QString {
                if (!button)
                    return "the message box is gone";
                button->click();
                return {};
            });
        captions << Quoted(PlainCaption(b->text()));
    }
    return TAttempt::Fail("the message box " + Quoted(text) + " has no button " +
                          Quoted(step.target) + " (it has " + captions.join(", ") + ")");
}

// Whether every file matches one of the patterns of a name filter ("RPT files (*.rpt)").
bool FilterTakes(const QString& filter, const QStringList& files) {
    const qsizetype open = filter.lastIndexOf('('), close = filter.lastIndexOf(')');
    const QString inside =
        open >= 0 && close > open ? filter.mid(open + 1, close - open - 1) : filter;
    const QStringList patterns = inside.split(QRegularExpression("[ ;]+"), Qt::SkipEmptyParts);
    for (const QString& f : files)
        if (!QDir::match(patterns, QFileInfo(f).fileName()))
            return false;
    return true;
}

// As a user does who chooses files of different kinds: the first filter that shows them all.
void ShowFilesOfEveryKind(QFileDialog& dialog, const QStringList& files) {
    if (FilterTakes(dialog.selectedNameFilter(), files))
        return;
    for (const QString& filter : dialog.nameFilters())
        if (FilterTakes(filter, files)) {
            dialog.selectNameFilter(filter);
            return;
        }
}

TAttempt PlanFiles(QFileDialog* dialog, const TSessionStep& step) {
    for (const QString& f : step.files)
        if (!QFileInfo(f).isFile())
            return TAttempt::Fail("there is no file " + Quoted(f));
    if (step.files.size() > 1 && dialog->fileMode() != QFileDialog::ExistingFiles)
        return TAttempt::Fail("the file dialog takes one file");
    auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (!edit)
        return TAttempt::Fail("the file dialog has no file name field (a native dialog?)");
    return TAttempt::Ready(
        [d = QPointer(dialog), e = QPointer(edit), files = step.files]() -> QString {
            if (!d || !e)
                return "the file dialog is gone";
            d->setDirectory(QFileInfo(files.first()).absolutePath());
            ShowFilesOfEveryKind(*d, files);
            QStringList quoted;
            for (const QString& f : files)
                quoted << Quoted(QFileInfo(f).absoluteFilePath());
            e->setText(quoted.join(' '));
            // Typing selects the names the view lists; a view still reading its folder after a
            // change of filter lists only some of them. Without a selection the dialog takes
            // the typed names, all of them.
            const auto views = d->findChildren<QAbstractItemView*>();
            for (QAbstractItemView* v : views)
                if (v->selectionModel())
                    v->selectionModel()->clearSelection();
            QStringList want, got;
            for (const QString& f : files)
                want << QFileInfo(f).absoluteFilePath();
            for (const QString& f : d->selectedFiles())
                got << QFileInfo(f).absoluteFilePath();
            want.sort();
            got.sort();
            if (want != got)
                return "the file dialog took the files as " + got.join(", ");
            static_cast<QDialog*>(d.data())->accept(); // QFileDialog::accept, protected there
            return {};
        });
}

TAttempt PlanPick(QAbstractItemView* list, const TSessionStep& step) {
    QAbstractItemModel* model = list->model();
    if (!model)
        return TAttempt::Wait("the pick list has no entries");
    QPersistentModelIndex index;
    if (step.pickIndex >= 0) {
        if (step.pickIndex >= model->rowCount())
            return TAttempt::Fail(QString("the pick list has %1 entries, no entry %2")
                                      .arg(model->rowCount())
                                      .arg(step.pickIndex));
        index = model->index(step.pickIndex, 0);
    } else {
        const auto found =
            model->match(model->index(0, 0), Qt::DisplayRole, step.target, 1, Qt::MatchExactly);
        if (found.isEmpty())
            return TAttempt::Fail("the pick list has no entry " + Quoted(step.target) + ": " +
                                  Entries(model));
        index = found.first();
    }
    return TAttempt::Ready([l = QPointer(list), index]() -> QString {
        if (!l || !index.isValid())
            return "the pick list is gone";
        l->scrollTo(index);
        l->setCurrentIndex(index);
        Click(l->viewport(), l->visualRect(index).center(), Qt::NoModifier, false);
        if (l && l->isVisible())
            PressKey(l, Qt::Key_Return);
        return {};
    });
}

} // namespace kavrohost
