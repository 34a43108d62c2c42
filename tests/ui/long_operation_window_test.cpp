// The long-operation window on Qt widgets: its cancel button asks first, and it appears only
// once the work has gone on for a while.
#include "platform/gui/qt_text.h"
#include "ui/gui/long_operation_form.h"
#include "ui/scripted_interaction.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include <thread>

namespace {

using namespace std::chrono_literals;

QWidget* VisibleWindow() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->objectName() == QStringLiteral("LongOperationForm"))
            return w;
    return nullptr;
}

bool AnyWindow() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QStringLiteral("LongOperationForm"))
            return true;
    return false;
}

TEST(LongOperationWindow, CancelAsksFirstNoKeepsRunningYesCancels) {
    TScriptedInteraction interaction;
    interaction.confirmAnswers = {false, true};
    // The wizard that runs the import is modal; the window must belong to it to stay usable.
    QDialog wizard;
    wizard.setModal(true);
    wizard.show();

    TLongOperations operations;
    operations.SetViewFactory(QtLongOperationViewFactory(operations, 0ms));
    operations.Start(true, 0);
    operations.SetText(Ansi("Импорт файла \"/data/survey/day1.sdr\""));
    QWidget* window = VisibleWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->parentWidget(), &wizard);
    EXPECT_EQ(window->windowTitle(), QtText("Подождите..."));
    EXPECT_EQ(window->findChild<QProgressBar*>(QStringLiteral("Animation"))->maximum(), 0)
        << "the animation runs (an indeterminate bar)";
    EXPECT_TRUE(window->findChild<QLabel*>(QStringLiteral("OperationName"))
                    ->text()
                    .contains(QStringLiteral("day1.sdr")));
    auto* terminate = window->findChild<QPushButton*>(QStringLiteral("TerminateButton"));
    ASSERT_TRUE(terminate->isVisible() && terminate->isEnabled());
    EXPECT_EQ(terminate->text(), QtText("Отмена"));

    QTest::mouseClick(terminate, Qt::LeftButton);
    EXPECT_FALSE(operations.Cancelled());
    ASSERT_EQ(interaction.shown.size(), 1u);
    EXPECT_EQ(interaction.shown[0].kind, TScriptedInteraction::TShown::Confirmation);
    EXPECT_EQ(interaction.shown[0].text, Ansi("Операция будет прервана. Завершить?"));
    EXPECT_EQ(interaction.shown[0].caption, Ansi("Предупреждение"));
    EXPECT_EQ(interaction.shown[0].confirmKind, TConfirmKind::Question);

    QTest::keyClick(window, Qt::Key_Escape); // Escape is the same button
    EXPECT_TRUE(operations.Cancelled());
    EXPECT_EQ(interaction.shown.size(), 2u);
    QTest::mouseClick(terminate, Qt::LeftButton);
    EXPECT_EQ(interaction.shown.size(), 2u) << "once cancelled, nothing more is asked";

    operations.End();
    EXPECT_FALSE(AnyWindow());
}

TEST(LongOperationWindow, AppearsOnlyForLongWork) {
    TScriptedInteraction interaction;
    TLongOperations operations;
    operations.SetViewFactory(QtLongOperationViewFactory(operations));

    // Short work: the busy cursor, no window.
    operations.Start(true, 0);
    operations.SetText(Ansi("Импорт файла \"a.sdr\""));
    operations.Pump();
    EXPECT_EQ(VisibleWindow(), nullptr);
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    operations.End();
    EXPECT_FALSE(AnyWindow());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    // Work that goes on past the delay: the next file shows the window, and the window takes
    // over from the busy cursor.
    operations.Start(false, 0);
    operations.SetText(Ansi("Импорт файла \"a.sdr\""));
    std::this_thread::sleep_for(kLongOperationShowAfter + 50ms);
    EXPECT_EQ(VisibleWindow(), nullptr);
    operations.SetText(Ansi("Импорт файла \"b.sdr\""));
    QWidget* window = VisibleWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_FALSE(window->findChild<QPushButton*>(QStringLiteral("TerminateButton"))->isVisible())
        << "not cancellable";
    operations.End();
    EXPECT_FALSE(AnyWindow());
}

} // namespace
