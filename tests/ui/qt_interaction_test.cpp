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
#include <QRegularExpression>
#include <QTest>
#include <QToolButton>
#include <QTreeView>
#include <gtest/gtest.h>

#include <fstream>

namespace {

TEST(QtInteraction, FileFilterBecomesQtNameFiltersWithPatternsShownOnce) {
    struct TCase {
        const char* filter;
        QStringList expected;
    };
    const TCase cases[] = {
        {"Текстовые файлы (*.txt, *.csv)|*.txt;*.csv|Все файлы (*.*)|*.*",
         {QtText("Текстовые файлы (*.txt *.csv)"), QtText("Все файлы (*)")}},
        {"Файлы PTS (*.pts)|*.pts|Любые файлы (*.*)|*.*",
         {QtText("Файлы PTS (*.pts)"), QtText("Любые файлы (*)")}},
        // A caption without patterns of its own gets Qt's.
        {"Text|*.txt|All|*.*", {QtText("Text (*.txt)"), QtText("All (*)")}},
        // Brackets inside a caption are the caption's.
        {"Съемка (2024) файлы|*.sdr", {QtText("Съемка (2024) файлы (*.sdr)")}},
        {"", {}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.filter);
        EXPECT_EQ(QtNameFilters(Ansi(c.filter)), c.expected);
    }
}

// What the user reads in the module's file dialog: the title and filters it was given, and
// Qt's own columns and buttons in Russian (the test's application loads Qt's translation as a
// Russian host does).
TEST(QtInteraction, FileDialogReadsRussian) {
    TQtInteraction service;
    const TOpenFileOptions options{
        Ansi("Выбор файлов SDR и RPT"),
        Ansi("Файлы SDR и RPT (*.sdr, *.rpt)|*.sdr;*.rpt|Все файлы (*.*)|*.*"), "sdr", true};
    QString title;
    QStringList filters, headers, toolTips;
    WhenShown(TQtInteraction::kOpenFileDialogName, [&](QWidget* w) {
        auto* dialog = static_cast<QFileDialog*>(w);
        title = dialog->windowTitle();
        filters = dialog->nameFilters();
        const QAbstractItemModel* files = dialog->findChild<QTreeView*>()->model();
        for (int column = 0; column < files->columnCount(); ++column)
            headers << files->headerData(column, Qt::Horizontal).toString();
        for (const QToolButton* button : dialog->findChildren<QToolButton*>())
            if (!button->toolTip().isEmpty())
                toolTips << button->toolTip();
        dialog->reject();
    });
    EXPECT_TRUE(service.OpenFiles(options).empty());
    EXPECT_EQ(title, QtText("Выбор файлов SDR и RPT"));
    EXPECT_EQ(filters,
              (QStringList{QtText("Файлы SDR и RPT (*.sdr *.rpt)"), QtText("Все файлы (*)")}));
    ASSERT_FALSE(headers.isEmpty());
    EXPECT_EQ(headers.front(), QtText("Имя"));
    EXPECT_EQ(headers.size(), 4) << headers.join(QLatin1Char(',')).toStdString();
    ASSERT_FALSE(toolTips.isEmpty());
    for (const QString& tip : toolTips)
        EXPECT_TRUE(tip.contains(QRegularExpression(QStringLiteral("[а-яА-Я]"))))
            << tip.toStdString();
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
