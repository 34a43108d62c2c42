// The SDR import command through the module's real boundary: TextImport.so loaded by the host
// stand-in's loader, ExecuteMacro 3, the wizard found among the application's windows and
// driven by its controls' names, the file choice, the style chooser and the message boxes
// answered through their Qt widgets, and the project file read afterwards.
#include "support/wizard_driver.h"

#include <QDateEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <fstream>

using kavrohost::TObjectRecord;

namespace {

std::string Field16(std::string text) {
    text.resize(16, ' ');
    return text;
}

std::string SdrRecord(const char* number, const char* x, const char* y, const char* z) {
    return "08KI" + Field16(number) + Field16(x) + Field16(y) + Field16(z) + "\r\n";
}

// Two points in an SDR file, one in an RPT file (its number is the station's and the sighting's
// together), and a text file that is neither.
struct TSurveyFiles {
    std::filesystem::path sdr, rpt, txt;

    explicit TSurveyFiles(const std::filesystem::path& dir)
        : sdr(dir / "Съемка 1.sdr"), rpt(dir / "станция.rpt"), txt(dir / "заметки.txt") {
        Write(sdr, "00NMSDR33 V04-04.02\r\n" +
                       SdrRecord("101", "491000.5", "6288000.25", "150.3456") +
                       SdrRecord("102", "491010", "6288010", "152.96"));
        Write(rpt,
              "STN     ST1,1.500,\r\nSS      7,1.800,\r\nXYZ     491020.0,6288020.0,151.04\r\n");
        Write(txt, "101 491000.5 6288000.25 150.3456\r\n");
    }
    static void Write(const std::filesystem::path& path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
    }
};

QString PathText(const std::filesystem::path& path) {
    return QString::fromStdU16String(path.u16string());
}

void RunSdrWizard(TModuleHarness& harness, const std::function<void(QWidget*)>& drive) {
    ::RunWizard(harness, 3, "SdrImportForm", drive);
}

// Picks the style by its name in the chooser that "Выбрать стиль ..." opens.
void ChooseStyle(QWidget* wizard, const char* name) {
    WhenShown("ProjectTreeForm", [name](QWidget* chooser) {
        auto* tree = chooser->findChild<QTreeWidget*>(QStringLiteral("ProjectTree"));
        const auto found = tree->findItems(Q(name), Qt::MatchExactly | Qt::MatchRecursive);
        if (found.size() != 1) {
            ADD_FAILURE() << "no single style " << name;
            static_cast<QDialog*>(chooser)->reject();
            return;
        }
        tree->setCurrentItem(found.front());
        chooser->findChild<QPushButton*>(QStringLiteral("OkButton"))->click();
    });
    Click(wizard, "StyleButton");
}

// The files through the preview, then the control points' style.
void ChooseFilesAndStyle(QWidget* wizard, std::vector<std::filesystem::path> files) {
    AnswerFileDialog(std::move(files));
    Click(wizard, "SelectFileButton");
    ChooseStyle(wizard, "Пикет");
}

// On to the second page and "Импорт"; returns the closing message.
QString Import(QWidget* wizard) {
    Click(wizard, "NextButton");
    EXPECT_EQ(Page(wizard), 1);
    const auto message = AnswerMessageBox();
    Click(wizard, "NextButton");
    return *message;
}

const kavrohost::TVertexRecord& PointOf(const TObjectRecord& object) {
    return object.shapes.at(0).parts.at(0).vertices.at(0);
}

TEST(SdrWizardThroughTheModule, PreviewDropsTheFailingFileThenThePointsAndValuesAreImported) {
    TModuleHarness harness(DemoProject());
    ASSERT_EQ(harness.InitializeResult(), S_OK);
    const TSurveyFiles files(harness.Dir().Path());
    QString message;
    RunSdrWizard(harness, [&](QWidget* wizard) {
        ChooseFilesAndStyle(wizard, {files.sdr, files.txt, files.rpt});
        // The text file fails the preview and leaves the selection.
        EXPECT_EQ(Find<QPlainTextEdit>(wizard, "FilesEdit")->toPlainText(),
                  PathText(files.sdr) + "\n" + PathText(files.rpt));
        const QStringList preview =
            Find<QPlainTextEdit>(wizard, "PreviewMemo")->toPlainText().split('\n');
        EXPECT_TRUE(preview.contains(Q("Файл ") + PathText(files.txt)));
        EXPECT_TRUE(
            preview.contains(Q("Ошибка: Неизвестный формат файла \"") + PathText(files.txt) + "\""))
            << preview.join('\n').toStdString();
        EXPECT_EQ(preview.filter(QRegularExpression(QStringLiteral("^(101|102|ST17) "))).size(), 3);

        EXPECT_EQ(Find<QLineEdit>(wizard, "LayerEdit")->text(),
                  Q("[Топографическая карта] Геодезические пункты / Пикет"));
        EXPECT_EQ(Find<QComboBox>(wizard, "TableComboBox")->currentText(), Q("POINTS"));
        Choose(wizard, "NumberComboBox", Q("NUMBER"));
        Choose(wizard, "ZCoordComboBox", Q("HEIGHT"));
        Choose(wizard, "DataTimeComboBox", Q("SURVEYED"));
        Find<QSpinBox>(wizard, "PrecisionEdit")->setValue(1);
        Find<QDateEdit>(wizard, "ImportDateTime")->setDate(QDate(2024, 5, 15));
        message = Import(wizard);
        // The wizard stays on its page; the preview box now holds the import's log.
        EXPECT_TRUE(wizard->isVisible());
        EXPECT_EQ(Page(wizard), 1);
        const QString log = Find<QPlainTextEdit>(wizard, "PreviewMemo")->toPlainText();
        EXPECT_FALSE(log.contains(PathText(files.txt)));
        EXPECT_EQ(log.count(Q("Операция завершена")), 2);
    });
    EXPECT_EQ(message, Q("Импорт успешно завершен.\r\nИмпортировано 3 точки."));

    const auto points = ObjectsOf(kavrohost::ReadObjects(harness.ProjectFile()), "GEODESY");
    ASSERT_EQ(points.size(), 3u);
    const struct {
        const char* number;
        double x, y, height;
    } expected[] = {{"101", 491000.5, 6288000.25, 150.3}, // 150.3456 to one decimal
                    {"102", 491010, 6288010, 153.0},      // 152.96
                    {"ST17", 491020, 6288020, 151.0}};    // 151.04
    for (std::size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(expected[i].number);
        EXPECT_EQ(points[i].shapes.at(0).styleId, "PIKET");
        EXPECT_DOUBLE_EQ(PointOf(points[i]).x, expected[i].x);
        EXPECT_DOUBLE_EQ(PointOf(points[i]).y, expected[i].y);
        EXPECT_EQ(Describe(Value(points[i], "NUMBER")), std::string("text:") + expected[i].number);
        ASSERT_NE(Value(points[i], "HEIGHT"), nullptr);
        EXPECT_EQ(Value(points[i], "HEIGHT")->type, "double");
        EXPECT_DOUBLE_EQ(Value(points[i], "HEIGHT")->doubleValue, expected[i].height);
        EXPECT_EQ(Describe(Value(points[i], "SURVEYED")), "date:2024-05-15");
    }
    // The view moved to the points of both files.
    const auto shown = harness.Session().LastShowRect();
    ASSERT_TRUE(shown.has_value());
    EXPECT_EQ(*shown, (std::array<double, 4>{491000.5, 6288000.25, 491020, 6288020}));
}

TEST(SdrWizardThroughTheModule, NotImportedInEveryListWritesObjectsWithoutValues) {
    TModuleHarness harness(DemoProject());
    ASSERT_EQ(harness.InitializeResult(), S_OK);
    const TSurveyFiles files(harness.Dir().Path());
    QString message;
    RunSdrWizard(harness, [&](QWidget* wizard) {
        ChooseFilesAndStyle(wizard, {files.sdr});
        // Chosen, then taken back.
        for (const char* list : {"NumberComboBox", "ZCoordComboBox", "DataTimeComboBox"}) {
            Choose(wizard, list, Q("NAME"));
            Choose(wizard, list, Q("<Не импортировать>"));
        }
        message = Import(wizard);
    });
    EXPECT_EQ(message, Q("Импорт успешно завершен.\r\nИмпортировано 2 точки."));
    const auto points = ObjectsOf(kavrohost::ReadObjects(harness.ProjectFile()), "GEODESY");
    ASSERT_EQ(points.size(), 2u);
    for (const TObjectRecord& point : points) {
        EXPECT_EQ(point.shapes.at(0).styleId, "PIKET");
        EXPECT_TRUE(point.values.empty()) << Describe(&point.values.front());
    }
}

TEST(SdrWizardThroughTheModule, HostFailureEndsTheRunOnceSayingWhatWasSaved) {
    TModuleHarness harness(DemoProject());
    ASSERT_EQ(harness.InitializeResult(), S_OK);
    const TSurveyFiles files(harness.Dir().Path());
    // The second point of the SDR file cannot be added: the database refuses, and no later file
    // is read.
    harness.Session().FailOn("IKavroMapObjects.Add", 2, "Сбой добавления объекта");
    QString message;
    RunSdrWizard(harness, [&](QWidget* wizard) {
        ChooseFilesAndStyle(wizard, {files.sdr, files.rpt});
        Choose(wizard, "NumberComboBox", Q("NUMBER"));
        message = Import(wizard);
        for (const char* name : {"NextButton", "PrevButton", "Cancel"})
            EXPECT_TRUE(Find<QWidget>(wizard, name)->isEnabled()) << name;
        EXPECT_EQ(Page(wizard), 1);
    });
    EXPECT_EQ(message, Q("Сбой добавления объекта\r\nСохранено объектов: 1."));
    const auto points = ObjectsOf(kavrohost::ReadObjects(harness.ProjectFile()), "GEODESY");
    ASSERT_EQ(points.size(), 1u);
    EXPECT_EQ(Describe(Value(points[0], "NUMBER")), "text:101");
}

} // namespace
