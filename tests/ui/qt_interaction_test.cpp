// The Qt interaction service, answered the way a user would: through the dialogs it shows.
#include "platform/gui/qt_text.h"
#include "support/modal_driver.h"
#include "support/temp_dir.h"
#include "ui/gui/qt_interaction.h"

#include <QAbstractButton>
#include <QFileDialog>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include <fstream>

namespace {

TEST(QtInteraction, FileFilterBecomesQtNameFilters) {
    EXPECT_EQ(QtNameFilters(Ansi("Текстовые файлы (*.txt, *.csv)|*.txt;*.csv|Все файлы (*.*)|*.*")),
              (QStringList{QtText("Текстовые файлы (*.txt, *.csv) (*.txt *.csv)"),
                           QtText("Все файлы (*.*) (*)")}));
    EXPECT_TRUE(QtNameFilters("").isEmpty());
}

TEST(QtInteraction, ConfirmationDefaultsToNoAndCarriesCaptionAndIcon) {
    TQtInteraction service;
    QString caption, text, defaultText;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    WhenShown(TQtInteraction::kMessageBoxName, [&](QWidget* w) {
        auto* box = static_cast<QMessageBox*>(w);
        caption = box->windowTitle();
        text = box->text();
        icon = box->icon();
        defaultText = box->defaultButton()->text();
        QTest::keyClick(box, Qt::Key_Return); // the default answer
    });
    EXPECT_FALSE(
        service.Confirm(Ansi("Удалить элемент?"), Ansi("Предупреждение"), TConfirmKind::Warning));
    EXPECT_EQ(caption, QtText("Предупреждение"));
    EXPECT_EQ(text, QtText("Удалить элемент?"));
    EXPECT_EQ(icon, QMessageBox::Warning);
    EXPECT_EQ(defaultText, QtText("Нет"));

    WhenShown(TQtInteraction::kMessageBoxName,
              [](QWidget* w) { static_cast<QMessageBox*>(w)->button(QMessageBox::Yes)->click(); });
    EXPECT_TRUE(service.Confirm(Ansi("Операция будет прервана. Завершить?"), Ansi("Предупреждение"),
                                TConfirmKind::Question));
}

TEST(QtInteraction, MessageBoxShowsTheApplicationTitle) {
    TQtInteraction service;
    service.SetApplicationTitle(Ansi("Карта района"));
    QString caption;
    WhenShown(TQtInteraction::kMessageBoxName, [&](QWidget* w) {
        caption = w->windowTitle();
        static_cast<QMessageBox*>(w)->button(QMessageBox::Ok)->click();
    });
    service.ShowMessage(Ansi("Импорт успешно завершен."));
    EXPECT_EQ(caption, QtText("Карта района"));
}

TEST(QtInteraction, OpenFilesReturnsTheChosenFilesOrNothingOnCancel) {
    TTempDir dir;
    for (const char* name : {"a.txt", "b.txt"})
        std::ofstream(dir / name) << "x";
    TQtInteraction service;
    TOpenFileOptions options{Ansi("Считать исходные данные"), "Text|*.txt|All|*.*", "txt", true};

    QString title;
    WhenShown(TQtInteraction::kOpenFileDialogName, [&](QWidget* w) {
        auto* dialog = static_cast<QFileDialog*>(w);
        title = dialog->windowTitle();
        dialog->setDirectory(QString::fromStdString(dir.Path().string()));
        dialog->selectFile(QStringLiteral("\"a.txt\" \"b.txt\""));
        QMetaObject::invokeMethod(dialog, "accept");
    });
    const auto files = service.OpenFiles(options);
    EXPECT_EQ(title, QtText("Считать исходные данные"));
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[0], dir / "a.txt");
    EXPECT_EQ(files[1], dir / "b.txt");

    WhenShown(TQtInteraction::kOpenFileDialogName,
              [](QWidget* w) { static_cast<QFileDialog*>(w)->reject(); });
    EXPECT_TRUE(service.OpenFiles(options).empty());
}

TEST(QtInteraction, PickListOpensUnderTheAnchorWithTheEntryPreselected) {
    TQtInteraction service;
    TPickListRequest request{{100, 50, 160, 20}, {Ansi("< не импортировать >"), "A", "B"}, 1};
    QPoint topLeft;
    int current = -1;
    WhenShown(TQtInteraction::kPickListName, [&](QWidget* w) {
        auto* list = static_cast<QListWidget*>(w);
        topLeft = list->geometry().topLeft();
        current = list->currentRow();
        QTest::keyClick(list, Qt::Key_Down);
        QTest::keyClick(list, Qt::Key_Return);
    });
    EXPECT_EQ(service.PickFromList(request), std::optional<int>(2));
    EXPECT_EQ(current, 1);
    EXPECT_EQ(topLeft, QPoint(100, 70));

    WhenShown(TQtInteraction::kPickListName,
              [](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
    EXPECT_EQ(service.PickFromList(request), std::nullopt);
}

} // namespace
