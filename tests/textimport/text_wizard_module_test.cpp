// The text import command through the module's real boundary: TextImport.so loaded by the host
// stand-in's loader, ExecuteMacro 1, the wizard found among the application's windows and
// driven by its controls' names, file choices and message boxes answered through their Qt
// widgets, and the project file read afterwards.
#include "coords/gui/import_transformation_page.h"
#include "coords/gui/transform_control.h"
#include "platform/codepage.h"
#include "support/proj_reference.h"
#include "support/wizard_driver.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <sys/stat.h>

using kavrohost::TObjectRecord;
using kavrohost::TValueRecord;

namespace {

// --- the text wizard's grids -------------------------------------------------------------

void Paste(QWidget* wizard, const QString& text) {
    QApplication::clipboard()->setText(text);
    Click(wizard, "SrcPaste");
}

// The pick list that opens under the selected row of the grid: the entry with the text is
// chosen by Enter (a missing entry dismisses the list and fails the test).
void PickInGrid(QWidget* wizard, const char* gridName, const char* arrowName, int row,
                const QString& entry) {
    auto* grid = Find<QTableWidget>(wizard, gridName);
    grid->setCurrentCell(row, 1);
    WhenShown("PickList", [entry](QWidget* popup) {
        auto* list = static_cast<QListWidget*>(popup);
        const QList<QListWidgetItem*> found = list->findItems(entry, Qt::MatchExactly);
        if (found.isEmpty()) {
            ADD_FAILURE() << "no entry " << entry.toStdString();
            list->close();
            return;
        }
        list->setCurrentItem(found.front());
        QTest::keyClick(list, Qt::Key_Return);
    });
    Click(grid, arrowName);
}

void PickStyle(QWidget* wizard, int row, const char* style) {
    PickInGrid(wizard, "ImportStylesGrid", "SelectStyle", row, Q(style));
}

void PickField(QWidget* wizard, int row, const char* target) {
    PickInGrid(wizard, "ImportFieldsGrid", "SelectField", row, Q(target));
}

void RunTextWizard(TModuleHarness& harness, const std::function<void(QWidget*)>& drive) {
    ::RunWizard(harness, 1, "TextImportForm", drive);
}

// --- the data --------------------------------------------------------------------------------

// Control points in the database's UTM zone 37N metres, with a decimal comma.
const char* const kPoints =
    "Номер;Название;Вид;Восток;Север;Высота;Класс;Заложен\r\n"
    "2041;Пункт Никитино;Пункт ГГС;491098,53;6289154,31;171,42;3;12.06.1961\r\n"
    "1123;Грунтовый репер 1123;Репер;491344,80;6288908,20;153,862;4;14.09.1978\r\n"
    "ПК0+00;Ось проезда;Пикет;491567,10;6288700,05;152,40;;\r\n";

// Two plots, each ring closed by repeating its first corner; every row repeats its plot's values.
const char* const kParcels = "Участок;Точка;Восток;Север;Площадь;Дата регистрации\r\n"
                             "76:11:0123401:31;н1;491500;6288800;400,0;01.03.2021\r\n"
                             "76:11:0123401:31;н2;491520;6288800;400,0;01.03.2021\r\n"
                             "76:11:0123401:31;н3;491520;6288820;400,0;01.03.2021\r\n"
                             "76:11:0123401:31;н4;491500;6288820;400,0;01.03.2021\r\n"
                             "76:11:0123401:31;н1;491500;6288800;400,0;01.03.2021\r\n"
                             "76:11:0123401:32;н1;491530;6288800;612,5;15.04.2022\r\n"
                             "76:11:0123401:32;н2;491565;6288800;612,5;15.04.2022\r\n"
                             "76:11:0123401:32;н3;491565;6288817,5;612,5;15.04.2022\r\n"
                             "76:11:0123401:32;н1;491530;6288800;612,5;15.04.2022\r\n";

// Page 1 of the parcels: the plots' layer, its style, the coordinates.
void ParcelParameters(QWidget* wizard, int method) {
    Find<QComboBox>(wizard, "ComboBoxImportType")->setCurrentIndex(method);
    Choose(wizard, "Maps", Q("Кадастровый план"));
    Choose(wizard, "SimpleComboBoxLayers", Q("Участки"));
    Choose(wizard, "XCoordField", Q("Восток"));
    Choose(wizard, "YCoordField", Q("Север"));
    PickStyle(wizard, 0, "Земельный участок");
}

// Page 2 of the parcels, then the import; returns the final message.
QString ImportParcels(QWidget* wizard) {
    Click(wizard, "Next");
    EXPECT_EQ(Page(wizard), 2);
    PickField(wizard, 0, "Сведения об участке.CADNUM");
    PickField(wizard, 4, "Сведения об участке.AREA");
    PickField(wizard, 5, "Сведения об участке.REGISTERED");
    Click(wizard, "Next");
    Click(wizard, "Next");
    EXPECT_EQ(Page(wizard), 4);
    const auto message = AnswerMessageBox();
    Click(wizard, "Next");
    return *message;
}

void ExpectRing(const kavrohost::TPartRecord& part,
                std::vector<std::pair<double, double>> corners) {
    EXPECT_TRUE(part.closed);
    ASSERT_EQ(part.vertices.size(), corners.size());
    for (std::size_t i = 0; i < corners.size(); ++i) {
        EXPECT_DOUBLE_EQ(part.vertices[i].x, corners[i].first) << i;
        EXPECT_DOUBLE_EQ(part.vertices[i].y, corners[i].second) << i;
    }
}

const std::vector<std::pair<double, double>> kPlot31 = {
    {491500, 6288800}, {491520, 6288800}, {491520, 6288820}, {491500, 6288820}};
const std::vector<std::pair<double, double>> kPlot32 = {
    {491530, 6288800}, {491565, 6288800}, {491565, 6288817.5}};

TEST(TextWizardThroughTheModule, PastedTableByEachMethodWithStylesAndTypedValues) {
    TModuleHarness harness(DemoProject());
    ASSERT_EQ(harness.InitializeResult(), S_OK);

    // One object per row, the style by the value of "Вид".
    QString message;
    RunTextWizard(harness, [&](QWidget* wizard) {
        Paste(wizard, Q(kPoints));
        Click(wizard, "Next");
        ASSERT_EQ(Page(wizard), 1);
        Find<QComboBox>(wizard, "ComboBoxImportType")->setCurrentIndex(2);
        EXPECT_EQ(Find<QComboBox>(wizard, "Maps")->currentText(), Q("Топографическая карта"));
        EXPECT_EQ(Find<QComboBox>(wizard, "SimpleComboBoxLayers")->currentText(),
                  Q("Геодезические пункты"));
        Choose(wizard, "XCoordField", Q("Восток"));
        Choose(wizard, "YCoordField", Q("Север"));
        Choose(wizard, "ClassifyField", Q("Вид"));
        PickStyle(wizard, 0, "Пикет");
        PickStyle(wizard, 1, "Пункт ГГС");
        PickStyle(wizard, 2, "Репер");
        Click(wizard, "Next");
        ASSERT_EQ(Page(wizard), 2);
        PickField(wizard, 0, "Пункты.NUMBER");
        PickField(wizard, 1, "Пункты.NAME");
        PickField(wizard, 5, "Пункты.HEIGHT");
        PickField(wizard, 6, "Пункты.CLASS");
        PickField(wizard, 7, "Пункты.LAID");
        Click(wizard, "Next");
        Click(wizard, "Next");
        ASSERT_EQ(Page(wizard), 4);
        const auto box = AnswerMessageBox();
        Click(wizard, "Next");
        message = *box;
    });
    EXPECT_EQ(message, Q("Процесс завершен. Импортировано 3 объекта."));

    const auto points = ObjectsOf(kavrohost::ReadObjects(harness.ProjectFile()), "GEODESY");
    ASSERT_EQ(points.size(), 3u);
    const char* styles[] = {"GGS", "REPER", "PIKET"};
    const double x[] = {491098.53, 491344.80, 491567.10};
    const double y[] = {6289154.31, 6288908.20, 6288700.05};
    for (std::size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        ASSERT_EQ(points[i].shapes.size(), 1u);
        EXPECT_EQ(points[i].shapes[0].styleId, styles[i]);
        ASSERT_EQ(points[i].shapes[0].parts.size(), 1u);
        ASSERT_EQ(points[i].shapes[0].parts[0].vertices.size(), 1u);
        EXPECT_DOUBLE_EQ(points[i].shapes[0].parts[0].vertices[0].x, x[i]);
        EXPECT_DOUBLE_EQ(points[i].shapes[0].parts[0].vertices[0].y, y[i]);
    }
    // Text, integer, real and date fields, and empty cells as no value.
    EXPECT_EQ(Describe(Value(points[0], "NUMBER")), "text:2041");
    EXPECT_EQ(Describe(Value(points[0], "NAME")), "text:Пункт Никитино");
    EXPECT_EQ(Describe(Value(points[0], "CLASS")), "int:3");
    ASSERT_NE(Value(points[1], "HEIGHT"), nullptr);
    EXPECT_EQ(Value(points[1], "HEIGHT")->type, "double");
    EXPECT_DOUBLE_EQ(Value(points[1], "HEIGHT")->doubleValue, 153.862);
    EXPECT_EQ(Describe(Value(points[1], "LAID")), "date:1978-09-14");
    EXPECT_EQ(Describe(Value(points[2], "NUMBER")), "text:ПК0+00");
    EXPECT_EQ(Describe(Value(points[2], "CLASS")), "null:");
    EXPECT_EQ(Describe(Value(points[2], "LAID")), "null:");

    // Every ring a new object.
    RunTextWizard(harness, [&](QWidget* wizard) {
        Paste(wizard, Q(kParcels));
        Click(wizard, "Next");
        ParcelParameters(wizard, 0);
        message = ImportParcels(wizard);
    });
    EXPECT_EQ(message, Q("Процесс завершен. Импортировано 2 объекта."));
    // Every ring a new shape of one object; the page comes back as it was left.
    RunTextWizard(harness, [&](QWidget* wizard) {
        Paste(wizard, Q(kParcels));
        Click(wizard, "Next");
        EXPECT_EQ(Find<QComboBox>(wizard, "SimpleComboBoxLayers")->currentText(), Q("Участки"));
        EXPECT_EQ(Find<QComboBox>(wizard, "XCoordField")->currentText(), Q("Восток"));
        EXPECT_EQ(Find<QTableWidget>(wizard, "ImportStylesGrid")->item(0, 1)->text(),
                  Q("Земельный участок"));
        Find<QComboBox>(wizard, "ComboBoxImportType")->setCurrentIndex(1);
        message = ImportParcels(wizard);
    });
    EXPECT_EQ(message, Q("Процесс завершен. Импортировано 1 объект."));

    const auto plots = ObjectsOf(kavrohost::ReadObjects(harness.ProjectFile()), "PARCELS");
    ASSERT_EQ(plots.size(), 3u);
    // Method 0: two objects, each with its ring and its plot's values.
    for (int i = 0; i < 2; ++i) {
        ASSERT_EQ(plots[i].shapes.size(), 1u);
        EXPECT_EQ(plots[i].shapes[0].styleId, "PARCEL");
        ASSERT_EQ(plots[i].shapes[0].parts.size(), 1u);
        ExpectRing(plots[i].shapes[0].parts[0], i == 0 ? kPlot31 : kPlot32);
    }
    EXPECT_EQ(Describe(Value(plots[0], "CADNUM")), "text:76:11:0123401:31");
    EXPECT_EQ(Describe(Value(plots[0], "REGISTERED")), "date:2021-03-01");
    EXPECT_EQ(Describe(Value(plots[1], "CADNUM")), "text:76:11:0123401:32");
    ASSERT_NE(Value(plots[1], "AREA"), nullptr);
    EXPECT_DOUBLE_EQ(Value(plots[1], "AREA")->doubleValue, 612.5);
    // Method 1: one object with both rings as shapes, the last row's values.
    ASSERT_EQ(plots[2].shapes.size(), 2u);
    ExpectRing(plots[2].shapes[0].parts.at(0), kPlot31);
    ExpectRing(plots[2].shapes[1].parts.at(0), kPlot32);
    EXPECT_EQ(Describe(Value(plots[2], "CADNUM")), "text:76:11:0123401:32");
}

TEST(TextWizardThroughTheModule, FilesInUtf8AndOem866WithCyrillicNames) {
    TModuleHarness harness(DemoProject());
    ASSERT_EQ(harness.InitializeResult(), S_OK);
    const std::string table = "Номер;Название;Восток;Север\r\n"
                              "Рп-7;Репер у школы;491344,80;6288908,20\r\n"
                              "Ёлка-2;Знак у Берёзовой рощи;491360,00;6288915,50\r\n";
    const auto write = [&](const char* name, const std::string& bytes) {
        const std::filesystem::path path = harness.Dir().Path() / std::filesystem::u8path(name);
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    };
    std::string oem;
    for (const char16_t c : Utf8ToWide(table)) {
        unsigned char byte = '?';
        for (int b = 0; b < 256; ++b)
            if (OemCharToWide(static_cast<unsigned char>(b)) == c)
                byte = static_cast<unsigned char>(b);
        oem += static_cast<char>(byte);
    }
    // The UTF-8 file begins with a byte-order mark, as Windows editors write it.
    const std::filesystem::path files[] = {write("Реперы (UTF-8).csv", "\xEF\xBB\xBF" + table),
                                           write("Реперы (866).txt", oem)};
    const char* codePages[] = {"UTF-8", "OEM 866"};

    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(codePages[run]);
        RunTextWizard(harness, [&](QWidget* wizard) {
            AnswerFileDialog({files[run]});
            Click(wizard, "SrcOpen");
            EXPECT_EQ(Find<QLabel>(wizard, "ImportModeLabel")->text(), Q("Режим: импорт файлов"));
            EXPECT_EQ(Find<QPlainTextEdit>(wizard, "Source")->toPlainText(),
                      QString::fromStdU16String(files[run].u16string()));
            Find<QComboBox>(wizard, "CodePageComboBox")->setCurrentText(Q(codePages[run]));
            Click(wizard, "Next");
            ASSERT_EQ(Page(wizard), 1);
            EXPECT_EQ(Find<QTableWidget>(wizard, "SrcFieldsGrid")->item(0, 0)->text(), Q("Номер"));
            EXPECT_EQ(Find<QTableWidget>(wizard, "SrcFieldsGrid")->item(1, 0)->text(),
                      Q("Название"));
            Find<QComboBox>(wizard, "ComboBoxImportType")->setCurrentIndex(2);
            Choose(wizard, "XCoordField", Q("Восток"));
            Choose(wizard, "YCoordField", Q("Север"));
            PickStyle(wizard, 0, "Репер");
            Click(wizard, "Next");
            PickField(wizard, 0, "Пункты.NUMBER");
            PickField(wizard, 1, "Пункты.NAME");
            Click(wizard, "Next");
            Click(wizard, "Next");
            const auto box = AnswerMessageBox();
            Click(wizard, "Next");
            EXPECT_EQ(*box, Q("Процесс завершен. Импортировано 2 объекта."));
        });
    }
    const auto points = ObjectsOf(kavrohost::ReadObjects(harness.ProjectFile()), "GEODESY");
    ASSERT_EQ(points.size(), 4u);
    for (int i = 0; i < 4; i += 2) {
        SCOPED_TRACE(i);
        EXPECT_EQ(Describe(Value(points[i], "NUMBER")), "text:Рп-7");
        EXPECT_EQ(Describe(Value(points[i], "NAME")), "text:Репер у школы");
        EXPECT_EQ(Describe(Value(points[i + 1], "NUMBER")), "text:Ёлка-2");
        EXPECT_EQ(Describe(Value(points[i + 1], "NAME")), "text:Знак у Берёзовой рощи");
        EXPECT_DOUBLE_EQ(points[i + 1].shapes.at(0).parts.at(0).vertices.at(0).y, 6288915.5);
    }
}

// The sample control points: WGS 84 longitude and latitude with a decimal comma.
std::string SamplePointsUtf8() {
    std::ifstream file(std::filesystem::path(TI_SOURCE_DIR) / "samples" / "points.csv",
                       std::ios::binary);
    std::stringstream bytes;
    bytes << file.rdbuf();
    return AnsiToUtf8(bytes.str());
}

// Pages 0 and 1 for the geodetic points: pasted, one object per row, every row a picket.
void PointsAsPickets(QWidget* wizard) {
    Paste(wizard, Q(kPoints));
    Click(wizard, "Next");
    Find<QComboBox>(wizard, "ComboBoxImportType")->setCurrentIndex(2);
    Choose(wizard, "XCoordField", Q("Восток"));
    Choose(wizard, "YCoordField", Q("Север"));
    Choose(wizard, "ClassifyField", Q("< не зависит >"));
    PickStyle(wizard, 0, "Пикет");
    Click(wizard, "Next");
}

// A comma file while the stored separator is ";": the wizard splits it by the commas without
// the user touching the separator, shows the first rows, proposes the column named like a field,
// says before the run what it will do and shows the report beside the closing message.
TEST(TextWizardThroughTheModule, ACommaFileIsSplitWithoutTouchingTheSeparator) {
    TModuleHarness harness(DemoProject());
    ASSERT_EQ(harness.InitializeResult(), S_OK);
    const std::filesystem::path file = harness.Dir().Path() / "points.csv";
    std::ofstream(file, std::ios::binary) << "Name,East,North\r\n"
                                             "A1,491344.80,6288908.20\r\n"
                                             "A2,491360.00,6288915.50\r\n"
                                             "A3,none,6288920.00\r\n"
                                             "A4,491380.00,6288930.00\r\n";
    RunTextWizard(harness, [&](QWidget* wizard) {
        AnswerFileDialog({file});
        Click(wizard, "SrcOpen");
        Click(wizard, "Next");
        ASSERT_EQ(Page(wizard), 1);
        EXPECT_EQ(Find<QLineEdit>(wizard, "DivSymbol")->text(), Q(","));
        auto* sample = Find<QTableWidget>(wizard, "SampleGrid");
        EXPECT_EQ(sample->rowCount(), 5);
        ASSERT_EQ(sample->columnCount(), 3);
        EXPECT_EQ(sample->item(3, 1)->text(), Q("none"));

        Find<QComboBox>(wizard, "ComboBoxImportType")->setCurrentIndex(2);
        Choose(wizard, "XCoordField", Q("East"));
        Choose(wizard, "YCoordField", Q("North"));
        EXPECT_TRUE(sample->horizontalHeaderItem(1)->text().contains(Q("[X]")));
        // The cell that will not read as a number says so.
        EXPECT_FALSE(sample->item(3, 1)->toolTip().isEmpty());
        EXPECT_TRUE(sample->item(1, 1)->toolTip().isEmpty());
        // The header row above the first number is the table's header, not a failing row.
        EXPECT_EQ(sample->item(0, 1)->toolTip(), Q("Заголовок таблицы: не импортируется"));
        EXPECT_NE(sample->item(3, 1)->toolTip(), sample->item(0, 1)->toolTip());
        PickStyle(wizard, 0, "Репер");
        Click(wizard, "Next");
        ASSERT_EQ(Page(wizard), 2);
        EXPECT_EQ(Find<QTableWidget>(wizard, "ImportFieldsGrid")->item(0, 1)->text(),
                  Q("Пункты.NAME"));
        EXPECT_EQ(Find<QTableWidget>(wizard, "ImportFieldsGrid")->item(1, 1)->text(),
                  Q("< не импортировать >"));
        Click(wizard, "Next");
        Click(wizard, "Next");
        ASSERT_EQ(Page(wizard), 4);
        EXPECT_TRUE(Find<QLabel>(wizard, "RunPlan")
                        ->text()
                        .startsWith(Q("К импорту: 4 строки таблицы (с 2 по 5)")));

        auto message = std::make_shared<QString>();
        auto report = std::make_shared<QString>();
        WhenShown("MessageBox", [wizard, message, report](QWidget* widget) {
            *message = static_cast<QMessageBox*>(widget)->text();
            *report = Find<QLabel>(wizard, "RunReport")->text();
            static_cast<QMessageBox*>(widget)->accept();
        });
        Click(wizard, "Next");
        EXPECT_EQ(*message, Q("Процесс завершен. Импортировано 3 объекта.\r\nКоордината не "
                              "является числом: 1 строка (4)"));
        EXPECT_EQ(*report,
                  Q("Импортировано: 3 объекта\nКоордината не является числом: 1 строка (4)"));
    });
    const auto points = ObjectsOf(kavrohost::ReadObjects(harness.ProjectFile()), "GEODESY");
    ASSERT_EQ(points.size(), 3u);
    EXPECT_EQ(Describe(Value(points[2], "NAME")), "text:A4");
}

TEST(TextWizardThroughTheModule, AFileThatDoesNotDecodeAndRefusedValuesAreSaidOnce) {
    TModuleHarness harness(DemoProject());
    ASSERT_EQ(harness.InitializeResult(), S_OK);
    // A UTF-8 table whose third line holds a Windows-1251 word.
    const std::filesystem::path file = harness.Dir().Path() / "mixed.csv";
    std::ofstream(file, std::ios::binary) << "Номер;Название;Восток;Север\r\n"
                                             "Рп-7;Репер;491344,80;6288908,20\r\n"
                                          << Ansi("Рп-8;Знак;491360,00;6288915,50") << "\r\n";
    RunTextWizard(harness, [&](QWidget* wizard) {
        AnswerFileDialog({file});
        Click(wizard, "SrcOpen");
        Find<QComboBox>(wizard, "CodePageComboBox")->setCurrentText(Q("UTF-8"));
        const auto error = AnswerMessageBox();
        Click(wizard, "Next");
        // The file and the line are named, and the wizard stays for another code page.
        EXPECT_EQ(*error, Q("Файл \"") + QString::fromStdU16String(file.u16string()) +
                              Q("\": строка 3 не читается в кодировке UTF-8. Выберите другую "
                                "кодировку."));
        EXPECT_EQ(Page(wizard), 0);
        Find<QComboBox>(wizard, "CodePageComboBox")->setCurrentText(Q("Windows-1251"));
        Click(wizard, "Next");
        EXPECT_EQ(Page(wizard), 1);
    });

    // The names go into a date field: the host refuses every one, the objects stay, and one
    // message counts the rows.
    RunTextWizard(harness, [&](QWidget* wizard) {
        PointsAsPickets(wizard);
        PickField(wizard, 0, "Пункты.NUMBER");
        PickField(wizard, 1, "Пункты.LAID");
        Click(wizard, "Next");
        Click(wizard, "Next");
        const auto box = AnswerMessageBox();
        Click(wizard, "Next");
        EXPECT_TRUE(box->startsWith(Q("Процесс завершен. Импортировано 3 объекта.\r\nБаза данных "
                                      "не приняла значение атрибута: 3 строки (2, 3, 4). ")))
            << box->toStdString();
    });
    const auto points = ObjectsOf(kavrohost::ReadObjects(harness.ProjectFile()), "GEODESY");
    ASSERT_EQ(points.size(), 3u);
    EXPECT_EQ(Describe(Value(points[0], "NUMBER")), "text:2041");
    EXPECT_EQ(Value(points[0], "LAID"), nullptr);
}

TEST(TextWizardThroughTheModule, ThePipeIsRefusedAtOnceAndTheRunStopsOnItsButton) {
    TModuleHarness harness(DemoProject());
    ASSERT_EQ(harness.InitializeResult(), S_OK);
    // A named pipe in place of a file: no writer ever comes, and the wizard must not wait.
    const std::filesystem::path pipe = harness.Dir().Path() / "points.csv";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    RunTextWizard(harness, [&](QWidget* wizard) {
        AnswerFileDialog({pipe});
        Click(wizard, "SrcOpen");
        const auto error = AnswerMessageBox();
        Click(wizard, "Next");
        EXPECT_EQ(*error, Q("Ошибка. Не найден файл \"") +
                              QString::fromStdU16String(pipe.u16string()) + "\"");
        EXPECT_EQ(Page(wizard), 0);
    });

    // The stop button of the last page, pressed as the run lets messages through at its start:
    // the run stops, says so with what it kept, and the wizard stays open on its page.
    RunTextWizard(harness, [&](QWidget* wizard) {
        PointsAsPickets(wizard);
        Click(wizard, "Next");
        Click(wizard, "Next");
        ASSERT_EQ(Page(wizard), 4);
        QTimer::singleShot(0, wizard, [wizard] {
            auto* stop = Find<QPushButton>(wizard, "StopButton");
            EXPECT_TRUE(stop->isEnabled());
            stop->click();
        });
        const auto box = AnswerMessageBox();
        Click(wizard, "Next");
        EXPECT_EQ(*box, Q("Импорт прерван пользователем.\r\nИмпортировано 1 объект."));
        EXPECT_TRUE(wizard->isVisible());
        EXPECT_EQ(Page(wizard), 4);
        EXPECT_FALSE(Find<QPushButton>(wizard, "StopButton")->isEnabled());
    });
    EXPECT_EQ(ObjectsOf(kavrohost::ReadObjects(harness.ProjectFile()), "GEODESY").size(), 1u);
}

TEST(TextWizardThroughTheModule, ByCoordinateSystemsFromWgs84TheStoredPointsAreProjs) {
    TModuleHarness harness(DemoProject());
    ASSERT_EQ(harness.InitializeResult(), S_OK);
    const QString sample = QString::fromStdString(SamplePointsUtf8());
    RunTextWizard(harness, [&](QWidget* wizard) {
        Paste(wizard, sample);
        Click(wizard, "Next");
        Find<QComboBox>(wizard, "ComboBoxImportType")->setCurrentIndex(2);
        Choose(wizard, "XCoordField", Q("Долгота"));
        Choose(wizard, "YCoordField", Q("Широта"));
        Choose(wizard, "ClassifyField", Q("Вид"));
        PickStyle(wizard, 0, "Пикет");
        PickStyle(wizard, 1, "Пункт ГГС");
        PickStyle(wizard, 2, "Репер");
        Click(wizard, "Next");
        PickField(wizard, 0, "Пункты.NUMBER");
        Click(wizard, "Next");
        ASSERT_EQ(Page(wizard), 3);
        // The source system chosen in the coordinate system editor from the library's list.
        ChooseSourceSystem(wizard, QStringLiteral("WGS 84"));
        EXPECT_EQ(Find<QLineEdit>(wizard, "CsEdit")->text(), QStringLiteral("WGS 84"));
        Click(wizard, "Next");
        const auto box = AnswerMessageBox();
        Click(wizard, "Next");
        EXPECT_EQ(*box, Q("Процесс завершен. Импортировано 19 объектов."));
    });

    const TWgs84ToUtm37Reference proj;
    ASSERT_TRUE(proj.Valid());

    const auto points = ObjectsOf(kavrohost::ReadObjects(harness.ProjectFile()), "GEODESY");
    ASSERT_EQ(points.size(), 19u);
    std::istringstream lines(SamplePointsUtf8());
    std::string line;
    std::getline(lines, line); // the captions
    for (const TObjectRecord& point : points) {
        ASSERT_TRUE(std::getline(lines, line));
        std::vector<std::string> cells;
        std::stringstream row(line);
        for (std::string cell; std::getline(row, cell, ';');)
            cells.push_back(cell);
        ASSERT_GE(cells.size(), 5u);
        SCOPED_TRACE(cells[0]);
        EXPECT_EQ(Describe(Value(point, "NUMBER")), "text:" + cells[0]);
        std::replace(cells[3].begin(), cells[3].end(), ',', '.');
        std::replace(cells[4].begin(), cells[4].end(), ',', '.');
        const auto [x, y] = proj(std::stod(cells[3]), std::stod(cells[4]));
        const auto& vertex = point.shapes.at(0).parts.at(0).vertices.at(0);
        EXPECT_NEAR(vertex.x, x, 1e-3); // metres, PROJ
        EXPECT_NEAR(vertex.y, y, 1e-3);
        // Not the degrees themselves: the conversion took place.
        EXPECT_GT(vertex.x, 400000.0);
    }
    EXPECT_EQ(points[0].shapes[0].styleId, "GGS");
    EXPECT_EQ(points[18].shapes[0].styleId, "PIKET");
}

TEST(TextWizardThroughTheModule, AffineChainPastedFromAnotherWizardsPage) {
    TModuleHarness harness(DemoProject());
    ASSERT_EQ(harness.InitializeResult(), S_OK);
    RunTextWizard(harness, [&](QWidget* wizard) {
        Paste(wizard, Q("N;x;y\r\n1;100;200\r\n2;-40;10,5\r\n"));
        Click(wizard, "Next");
        Find<QComboBox>(wizard, "ComboBoxImportType")->setCurrentIndex(2);
        Choose(wizard, "XCoordField", QStringLiteral("x"));
        Choose(wizard, "YCoordField", QStringLiteral("y"));
        PickStyle(wizard, 0, "Репер");
        Click(wizard, "Next");
        Click(wizard, "Next");
        ASSERT_EQ(Page(wizard), 3);
        EXPECT_EQ(Find<QComboBox>(wizard, "TransformationTypeComboBox")->currentIndex(), 0);
        // Another wizard's transformation page, in this process, copies its chain (the table
        // went through the clipboard before, so the chain goes now); the clipboard carries it
        // into the module's wizard.
        {
            TImportTransformationPage other;
            other.Chain().Add(std::make_unique<TTransformScalingItem>(0.5, 0.5));
            other.Chain().Add(std::make_unique<TTransformTranslationItem>(491000, 6288500));
            for (QAction* action : other.TransformControl()->List()->actions())
                if (action->objectName() == QStringLiteral("CopyAction"))
                    action->trigger();
        }
        auto* list = Find<QTreeWidget>(wizard, "TransformListView");
        for (QAction* action : list->actions())
            if (action->objectName() == QStringLiteral("PasteAction"))
                action->trigger();
        EXPECT_EQ(list->topLevelItemCount(), 2);
        Click(wizard, "Next");
        const auto box = AnswerMessageBox();
        Click(wizard, "Next");
        EXPECT_EQ(*box, Q("Процесс завершен. Импортировано 2 объекта."));
    });
    const auto points = ObjectsOf(kavrohost::ReadObjects(harness.ProjectFile()), "GEODESY");
    ASSERT_EQ(points.size(), 2u);
    // Halved, then moved: (100, 200) -> (491050, 6288600); (-40, 10.5) -> (490980, 6288505.25).
    const auto& first = points[0].shapes.at(0).parts.at(0).vertices.at(0);
    const auto& second = points[1].shapes.at(0).parts.at(0).vertices.at(0);
    EXPECT_DOUBLE_EQ(first.x, 491050.0);
    EXPECT_DOUBLE_EQ(first.y, 6288600.0);
    EXPECT_DOUBLE_EQ(second.x, 490980.0);
    EXPECT_DOUBLE_EQ(second.y, 6288505.25);
}

TEST(TextWizardThroughTheModule, HostFailureMidRunIsShownAndCommittedObjectsStay) {
    TModuleHarness harness(DemoProject());
    ASSERT_EQ(harness.InitializeResult(), S_OK);
    // The second corner of the second plot cannot be written.
    harness.Session().FailOn("IKavroContourPart.AddVertex", 6, "Сбой записи вершины");
    QString error;
    RunTextWizard(harness, [&](QWidget* wizard) {
        Paste(wizard, Q(kParcels));
        Click(wizard, "Next");
        ParcelParameters(wizard, 0);
        Click(wizard, "Next");
        Click(wizard, "Next");
        Click(wizard, "Next");
        ASSERT_EQ(Page(wizard), 4);
        const auto box = AnswerMessageBox();
        Click(wizard, "Next");
        error = *box;
        // The wizard stays on its page with its buttons back.
        EXPECT_TRUE(wizard->isVisible());
        EXPECT_EQ(Page(wizard), 4);
        for (const char* name : {"Next", "Prev", "Cancel"})
            EXPECT_TRUE(Find<QWidget>(wizard, name)->isEnabled()) << name;
        Click(wizard, "Cancel");
    });
    // The host's own text crossed the boundary into the module's message box.
    EXPECT_TRUE(error.contains(Q("Сбой записи вершины"))) << error.toStdString();
    EXPECT_FALSE(error.contains(Q("Процесс завершен")));
    const auto plots = ObjectsOf(kavrohost::ReadObjects(harness.ProjectFile()), "PARCELS");
    ASSERT_EQ(plots.size(), 2u);
    ExpectRing(plots[0].shapes.at(0).parts.at(0), kPlot31);
    ExpectRing(plots[1].shapes.at(0).parts.at(0), {{491530, 6288800}});
}

TEST(TextWizardThroughTheModule, SettingsSurviveClosingAndReopeningCancelIncluded) {
    TModuleHarness harness(DemoProject());
    ASSERT_EQ(harness.InitializeResult(), S_OK);
    const QString table = Q("N\tE\tH\tK\r\n1\t491000\t6288000\ta\r\n");
    // Chosen, then cancelled on the parameters page.
    RunTextWizard(harness, [&](QWidget* wizard) {
        Paste(wizard, table);
        Click(wizard, "Next");
        EXPECT_TRUE(Find<QRadioButton>(wizard, "TabDivided")->isChecked());
        Find<QComboBox>(wizard, "ComboBoxImportType")->setCurrentIndex(0);
        Choose(wizard, "Maps", Q("Кадастровый план"));
        Choose(wizard, "SimpleComboBoxLayers", Q("Участки"));
        Choose(wizard, "XCoordField", QStringLiteral("E"));
        Choose(wizard, "YCoordField", QStringLiteral("H"));
        PickStyle(wizard, 0, "Земельный участок");
        Click(wizard, "Cancel");
    });
    // Reopened: the same choices; this time the window is closed on the attribute page after
    // a change.
    RunTextWizard(harness, [&](QWidget* wizard) {
        // Typed, not pasted: the separator comes from the settings.
        Find<QPlainTextEdit>(wizard, "Source")->setPlainText(table);
        Click(wizard, "Next");
        EXPECT_TRUE(Find<QRadioButton>(wizard, "TabDivided")->isChecked());
        EXPECT_EQ(Find<QComboBox>(wizard, "ComboBoxImportType")->currentIndex(), 0);
        EXPECT_EQ(Find<QComboBox>(wizard, "Maps")->currentText(), Q("Кадастровый план"));
        EXPECT_EQ(Find<QComboBox>(wizard, "SimpleComboBoxLayers")->currentText(), Q("Участки"));
        EXPECT_EQ(Find<QComboBox>(wizard, "XCoordField")->currentText(), QStringLiteral("E"));
        EXPECT_EQ(Find<QComboBox>(wizard, "YCoordField")->currentText(), QStringLiteral("H"));
        EXPECT_EQ(Find<QTableWidget>(wizard, "ImportStylesGrid")->item(0, 1)->text(),
                  Q("Земельный участок"));
        Find<QComboBox>(wizard, "ComboBoxImportType")->setCurrentIndex(1);
        Click(wizard, "Next");
        EXPECT_EQ(Page(wizard), 2);
        EXPECT_TRUE(wizard->close() || !wizard->isVisible());
    });
    // Reopened and cancelled at once: nothing of the stored choices is lost.
    RunTextWizard(harness, [&](QWidget* wizard) { Click(wizard, "Cancel"); });
    RunTextWizard(harness, [&](QWidget* wizard) {
        Find<QPlainTextEdit>(wizard, "Source")->setPlainText(table);
        Click(wizard, "Next");
        EXPECT_EQ(Find<QComboBox>(wizard, "ComboBoxImportType")->currentIndex(), 1);
        EXPECT_EQ(Find<QComboBox>(wizard, "XCoordField")->currentText(), QStringLiteral("E"));
        EXPECT_EQ(Find<QTableWidget>(wizard, "ImportStylesGrid")->item(0, 1)->text(),
                  Q("Земельный участок"));
    });
}

} // namespace
