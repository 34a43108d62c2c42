// The chain's editor driven through its real widgets: buttons, context menu, shortcuts and the
// item dialogs.
#include "coords/gui/transform_control.h"
#include "coords/gui/transform_item_dialogs.h"
#include "platform/gui/qt_text.h"
#include "support/modal_driver.h"
#include "ui/gui/angle_edit.h"
#include "ui/gui/number_edit.h"
#include "ui/gui/screen_scale.h"
#include "ui/scripted_interaction.h"

#include <QComboBox>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

class TransformControl : public ::testing::Test {
protected:
    void SetUp() override {
        m_control.Chain().Add(std::make_unique<TTransformTranslationItem>(10, 20));
        m_control.Chain().Add(std::make_unique<TTransformScalingItem>(2, 3));
        m_control.Chain().Add(std::make_unique<TTransformRotationItem>(0.5));
        m_control.show();
        m_control.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&m_control));
        List()->setFocus();
    }

    QTreeWidget* List() const { return m_control.List(); }
    void Click(const char* button) {
        auto* b = m_control.findChild<QPushButton*>(QString::fromLatin1(button));
        ASSERT_NE(b, nullptr) << button;
        QTest::mouseClick(b, Qt::LeftButton);
    }
    void Select(int row) { List()->setCurrentItem(List()->topLevelItem(row)); }
    int SelectedRow() const {
        QTreeWidgetItem* row = List()->currentItem();
        return row && row->isSelected() ? List()->indexOfTopLevelItem(row) : -1;
    }
    QAction* Action(const char* name) const {
        auto* action = m_control.findChild<QAction*>(QString::fromLatin1(name));
        EXPECT_NE(action, nullptr) << name;
        return action;
    }
    // The chain's text form: kinds, order and parameters at once.
    AnsiString Chain() const { return m_control.Chain().SaveToText(); }
    QStringList Rows() const {
        QStringList rows;
        for (int i = 0; i < List()->topLevelItemCount(); ++i)
            rows << List()->topLevelItem(i)->text(0);
        return rows;
    }

    TScriptedInteraction m_interaction;
    TTransformControl m_control;
};

TEST_F(TransformControl, ShowsOneRowPerStepUnderItsColumnAndHasTheDefaultSize) {
    EXPECT_EQ(List()->headerItem()->text(0), QtText("Трансформация"));
    EXPECT_EQ(Rows(), (QStringList{QtText("Смещение: по X = 10.00; по Y = 20.00"),
                                   QtText("Увел./Сжатие: по X = 2.00; по Y = 3.00"),
                                   QtText("Поворот: Угол = 28°38'52\"")}));
    EXPECT_EQ(m_control.sizeHint(), ScreenScaled(QSize(300, 265), &m_control));
}

TEST_F(TransformControl, DeletesFromTheButtonAtOnceAndFromMenuOrKeyOnlyAfterYes) {
    struct Case {
        const char* how;
        std::optional<bool> answer; // none: no question may be asked
        bool deleted;
    } cases[] = {
        {"button", std::nullopt, true}, {"key", false, false},
        {"menu", false, false},         {"key", true, true},
        {"menu", true, true},
    };
    // Three more steps, so that every case has one to delete.
    for (int i = 0; i < 3; ++i)
        m_control.Chain().Add(std::make_unique<TTransformShearItem>(i, 0));
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.how) + (c.answer ? (*c.answer ? " yes" : " no") : ""));
        m_interaction.shown.clear();
        if (c.answer)
            m_interaction.confirmAnswers.push_back(*c.answer);
        Select(1);
        const TTransformItem* next = &m_control.Chain().Get(2);
        const int count = m_control.Chain().Count();
        if (std::string(c.how) == "button")
            Click("DeleteButton");
        else if (std::string(c.how) == "key")
            QTest::keyClick(List(), Qt::Key_Delete);
        else
            Action("DeleteAction")->trigger();

        if (c.answer) {
            ASSERT_EQ(m_interaction.shown.size(), 1u);
            EXPECT_EQ(m_interaction.shown[0].kind, TScriptedInteraction::TShown::Confirmation);
            EXPECT_EQ(m_interaction.shown[0].text, Ansi("Удалить элемент?"));
            EXPECT_EQ(m_interaction.shown[0].caption, Ansi("Предупреждение"));
            EXPECT_EQ(m_interaction.shown[0].confirmKind, TConfirmKind::Warning);
        } else {
            EXPECT_TRUE(m_interaction.shown.empty());
        }
        EXPECT_EQ(m_control.Chain().Count(), c.deleted ? count - 1 : count);
        EXPECT_EQ(List()->topLevelItemCount(), m_control.Chain().Count());
        QCoreApplication::sendPostedEvents();
        if (c.deleted) { // the step that followed now holds the place and is selected
            EXPECT_EQ(m_control.SelectedItem(), next);
        }
    }

    // Deleting the last step selects the new last one.
    Select(m_control.Chain().Count() - 1);
    Click("DeleteButton");
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(SelectedRow(), m_control.Chain().Count() - 1);
}

TEST_F(TransformControl, MovesUpAndDownButNotPastTheEnds) {
    const AnsiString start = Chain();
    Select(0);
    Click("MoveUpButton");
    EXPECT_EQ(Chain(), start);
    Select(2);
    QTest::keyClick(List(), Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(Chain(), start);

    // The moved step stays selected, so it can be moved on.
    QTest::keyClick(List(), Qt::Key_Up, Qt::ControlModifier);
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(Chain(), "<T(10 20)R(0.5)S(2 3)>");
    EXPECT_EQ(SelectedRow(), 1);
    Click("MoveUpButton");
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(Chain(), "<R(0.5)T(10 20)S(2 3)>");
    EXPECT_EQ(SelectedRow(), 0);
    Click("MoveDownButton");
    EXPECT_EQ(Chain(), "<T(10 20)R(0.5)S(2 3)>");
}

TEST_F(TransformControl, AddsThroughEachKindsDialogAndSelectsTheNewStepAfterwards) {
    struct Case {
        const char* button;
        const char* dialog;
        QString x, y; // the rotation's angle in decimal degrees goes in x
        const char* added;
    } cases[] = {
        {"TranslationButton", "TranslationDialog", "12,5", "-3", "T(12.5 -3)"},
        {"ScalingButton", "ScalingDialog", "2", "0.5", "S(2 0.5)"},
        {"ShearButton", "ShearDialog", "0.25", "0", "Shear(0.25 0)"},
        {"RotationButton", "RotationDialog", "90", "", "R(1.5707963267949)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        Select(0);
        const AnsiString before = Chain();
        QString caption;
        WhenShown(c.dialog, [&](QWidget* dialog) {
            caption = dialog->windowTitle();
            if (auto* angle = dialog->findChild<TAngleEdit*>(QStringLiteral("AngleEdit"))) {
                // The rotation's dialog stands centred over the control.
                const QPoint offset =
                    dialog->geometry().center() - m_control.mapToGlobal(m_control.rect().center());
                EXPECT_LE(offset.manhattanLength(), 2);
                angle->UnitBox()->setCurrentIndex(1);
                angle->TextField()->setText(c.x);
            } else {
                dialog->findChild<TNumberEdit*>(QStringLiteral("XEdit"))->setText(c.x);
                dialog->findChild<TNumberEdit*>(QStringLiteral("YEdit"))->setText(c.y);
            }
            QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("OkButton")),
                              Qt::LeftButton);
        });
        Click(c.button);
        EXPECT_EQ(Chain(), before.substr(0, before.size() - 1) + c.added + ">");
        // The list was rebuilt with the old selection; the new step is selected only once the
        // posted selection arrives.
        EXPECT_EQ(SelectedRow(), 0);
        QCoreApplication::sendPostedEvents();
        EXPECT_EQ(SelectedRow(), m_control.Chain().Count() - 1);
        EXPECT_EQ(m_control.focusWidget(), List());
    }
}

TEST_F(TransformControl, ConversionErrorKeepsTheDialogOpenAndChangesNothing) {
    struct Case {
        const char* start; // a button adds, "edit" edits the translation (10, 20)
        const char* dialog;
        const char* message;
    } cases[] = {
        {"edit", "TranslationDialog", "'abc' is not a valid floating point value"},
        {"ScalingButton", "ScalingDialog", "'abc' is not a valid floating point value"},
        {"RotationButton", "RotationDialog", "Введенное значение не является числом"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dialog);
        m_interaction.shown.clear();
        const AnsiString before = Chain();
        bool stayedOpen = false;
        WhenShown(c.dialog, [&](QWidget* dialog) {
            if (auto* angle = dialog->findChild<TAngleEdit*>(QStringLiteral("AngleEdit"))) {
                angle->UnitBox()->setCurrentIndex(2);
                angle->TextField()->setText(QStringLiteral("abc"));
            } else {
                // A good first value must not reach the step either.
                dialog->findChild<TNumberEdit*>(QStringLiteral("XEdit"))->setText("99");
                dialog->findChild<TNumberEdit*>(QStringLiteral("YEdit"))->setText("abc");
            }
            QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("OkButton")),
                              Qt::LeftButton);
            stayedOpen = dialog->isVisible();
            QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("CancelButton")),
                              Qt::LeftButton);
        });
        if (std::string(c.start) == "edit") {
            Select(0);
            const QPoint row = List()->visualItemRect(List()->topLevelItem(0)).center();
            QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, row);
            QTest::mouseDClick(List()->viewport(), Qt::LeftButton, {}, row);
        } else {
            Click(c.start);
        }
        EXPECT_TRUE(stayedOpen);
        ASSERT_EQ(m_interaction.shown.size(), 1u);
        EXPECT_EQ(m_interaction.shown[0].kind, TScriptedInteraction::TShown::Error);
        EXPECT_EQ(m_interaction.shown[0].text, Ansi(c.message));
        EXPECT_EQ(Chain(), before);
    }
}

TEST_F(TransformControl, EditWritesTheDialogsValuesIntoTheSelectedStep) {
    Select(1);
    WhenShown("ScalingDialog", [](QWidget* dialog) {
        auto* x = dialog->findChild<TNumberEdit*>(QStringLiteral("XEdit"));
        EXPECT_EQ(x->text(), QStringLiteral("2"));
        x->setText(QStringLiteral("-1,25"));
        QTest::keyClick(dialog, Qt::Key_Return); // OK is the default button
    });
    QTest::keyClick(List(), Qt::Key_Return);
    EXPECT_EQ(Chain(), "<T(10 20)S(-1.25 3)R(0.5)>");
    EXPECT_EQ(List()->topLevelItem(1)->text(0), QtText("Увел./Сжатие: по X = -1.25; по Y = 3.00"));
    EXPECT_EQ(SelectedRow(), 1);

    // Cancel leaves the step as it was.
    WhenShown("ScalingDialog", [](QWidget* dialog) { QTest::keyClick(dialog, Qt::Key_Escape); });
    Click("EditButton");
    EXPECT_EQ(Chain(), "<T(10 20)S(-1.25 3)R(0.5)>");
}

TEST_F(TransformControl, MenuCarriesTheCaptionsAndShortcuts) {
    QStringList entries;
    for (QAction* action : m_control.ContextMenu()->actions())
        entries << (action->isSeparator()
                        ? QStringLiteral("-")
                        : action->text() + QLatin1Char('|') + action->shortcut().toString());
    EXPECT_EQ(entries, (QStringList{QtText("Добавить|Ins"), "-", QtText("Изменить|Enter"),
                                    QtText("Удалить|Del"), QtText("Очистить|"), "-",
                                    QtText("Поднять|Ctrl+Up"), QtText("Опустить|Ctrl+Down"), "-",
                                    QtText("Копировать в буфер|Ctrl+C"),
                                    QtText("Вставить из буфера|Ctrl+P")}));
    QStringList kinds;
    for (QAction* action : m_control.ContextMenu()->actions().front()->menu()->actions())
        kinds << action->text();
    EXPECT_EQ(kinds, (QStringList{QtText("Смещение"), QtText("Увел./Сжат."), QtText("Поворот"),
                                  QtText("Сдвиг")}));

    // Insert opens the kinds to pick from.
    QTest::keyClick(List(), Qt::Key_Insert);
    QMenu* add = m_control.ContextMenu()->actions().front()->menu();
    EXPECT_TRUE(add->isVisible());
    add->close();

    // "Очистить" asks nothing.
    Action("ClearAction")->trigger();
    EXPECT_EQ(m_control.Chain().Count(), 0);
    EXPECT_EQ(List()->topLevelItemCount(), 0);
    EXPECT_TRUE(m_interaction.shown.empty());
}

TEST_F(TransformControl, UpdateBracketGathersTheChangesIntoOneRebuild) {
    int notifications = 0;
    const auto handler = m_control.Chain().OnChange();
    m_control.Chain().SetOnChange([&](TTransformData& chain) {
        ++notifications;
        handler(chain);
    });
    m_control.BeginUpdate();
    m_control.BeginUpdate();
    m_control.Chain().Delete(0);
    m_control.Chain().Exchange(0, 1);
    m_control.EndUpdate();
    EXPECT_EQ(notifications, 0);
    EXPECT_EQ(List()->topLevelItemCount(), 3); // not rebuilt yet
    EXPECT_FALSE(List()->updatesEnabled());
    m_control.EndUpdate();
    EXPECT_EQ(notifications, 1);
    EXPECT_TRUE(m_control.ChangedInUpdate());
    EXPECT_TRUE(List()->updatesEnabled());
    EXPECT_EQ(Rows(), (QStringList{QtText("Поворот: Угол = 28°38'52\""),
                                   QtText("Увел./Сжатие: по X = 2.00; по Y = 3.00")}));

    // A bracket without a change rebuilds nothing and leaves the mark clear.
    m_control.BeginUpdate();
    m_control.EndUpdate();
    EXPECT_EQ(notifications, 1);
    EXPECT_FALSE(m_control.ChangedInUpdate());
}

TEST(TransformControlPlacement, RotationDialogStandsCentredOverTheControl) {
    // The control in a corner of a larger window, whose centre a dialog would take by default.
    QWidget window;
    window.resize(900, 700);
    auto* control = new TTransformControl(&window);
    control->setGeometry(10, 10, 300, 265);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QPoint offset(1000, 1000);
    WhenShown("RotationDialog", [&](QWidget* dialog) {
        offset = dialog->geometry().center() - control->mapToGlobal(control->rect().center());
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    control->Add(TTransformControl::TKind::Rotation);
    EXPECT_LE(offset.manhattanLength(), 2);
    EXPECT_EQ(control->Chain().Count(), 0);
}

// The add-on frees the forms still open when the host finalizes it, also while a step's dialog
// or a question is waiting for the user: the command then ends without touching the control.
TEST(TransformControlLifetime, ControlFreedWhileWaitingForTheUserEndsTheCommand) {
    TScriptedInteraction interaction;
    auto* control = new TTransformControl;
    control->show();
    WhenShown("TranslationDialog", [control](QWidget*) { delete control; });
    control->Add(TTransformControl::TKind::Translation);

    control = new TTransformControl;
    control->Chain().Add(std::make_unique<TTransformScalingItem>(2, 2));
    control->List()->setCurrentItem(control->List()->topLevelItem(0));
    interaction.confirmAnswers.push_back(true);
    interaction.onShown = [&](const TScriptedInteraction::TShown&) { delete control; };
    control->DeleteSelected(true);
    EXPECT_EQ(interaction.shown.size(), 1u);
}

} // namespace
