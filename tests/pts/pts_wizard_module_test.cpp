// The PTS import command through the module's real boundary: TextImport.so loaded by the host
// stand-in's loader, ExecuteMacro 2, the wizard found among the application's windows and
// driven by its controls' names, the file choice and message boxes answered through their Qt
// widgets, and the project file read afterwards.
#include "platform/codepage.h"
#include "support/proj_reference.h"
#include "support/wizard_driver.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <fstream>

using kavrohost::TObjectRecord;

namespace {

void RunPtsWizard(TModuleHarness& harness, const std::function<void(QWidget*)>& drive) {
    ::RunWizard(harness, 2, "PtsImportForm", drive);
}

// "..." beside the layer: the chooser opens and the style with that name is confirmed.
void ChooseStyle(QWidget* wizard, const char* style) {
    WhenShown("ProjectTreeForm", [style = Q(style)](QWidget* chooser) {
        auto* tree = Find<QTreeWidget>(chooser, "ProjectTree");
        const auto found = tree->findItems(style, Qt::MatchExactly | Qt::MatchRecursive);
        if (found.isEmpty()) {
            ADD_FAILURE() << "no style " << style.toStdString();
            static_cast<QDialog*>(chooser)->reject();
            return;
        }
        tree->setCurrentItem(found.front());
        Click(chooser, "OkButton");
    });
    Click(wizard, "LayerStyleButton");
}

// The first page for the geodetic points: the file, the style, the number and comment fields.
void FirstPage(QWidget* wizard, const std::filesystem::path& file) {
    AnswerFileDialog({file});
    Click(wizard, "ImportFileButton");
    EXPECT_EQ(Find<QLineEdit>(wizard, "ImportFileNameEdit")->text(),
              QString::fromStdU16String(file.u16string()));
    ChooseStyle(wizard, "Пункт ГГС");
    Choose(wizard, "TableComboBox", QStringLiteral("POINTS"));
    Choose(wizard, "NumberComboBox", QStringLiteral("NUMBER"));
    Choose(wizard, "CommentComboBox", QStringLiteral("NAME"));
    Click(wizard, "NextButton");
    EXPECT_EQ(Page(wizard), 1);
}

// Points numbered "Т-1"... with Cyrillic comments, in Windows-1251 as field devices write them.
std::filesystem::path WritePts(const TModuleHarness& harness, int count) {
    std::string text;
    for (int i = 1; i <= count; ++i)
        text += "Т-" + std::to_string(i) + "," + std::to_string(491000 + i) + ".25," +
                std::to_string(6288000 + 2 * i) + ".5,опора " + std::to_string(i) + ", ж/б\r\n";
    const std::filesystem::path file = harness.Dir().Path() / "съемка.pts";
    std::ofstream(file, std::ios::binary) << Ansi(text);
    return file;
}

struct TMessage {
    QString text;
    int commits = -1;
};

// Answers the next message box with OK, noting its text and the commits made until then.
std::shared_ptr<TMessage> AnswerMessageNotingCommits(TModuleHarness& harness) {
    auto message = std::make_shared<TMessage>();
    WhenShown("MessageBox", [message, &harness](QWidget* widget) {
        auto* box = static_cast<QMessageBox*>(widget);
        message->text = box->text();
        message->commits = harness.Session().CommitCount();
        box->accept();
    });
    return message;
}

TEST(PtsWizardThroughTheModule, TwoHundredFiftyPointsWithNumbersAndCommentsInBatchesOfHundred) {
    TModuleHarness harness(DemoProject());
    ASSERT_EQ(harness.InitializeResult(), S_OK);
    const std::filesystem::path file = WritePts(harness, 250);
    std::shared_ptr<TMessage> message;
    RunPtsWizard(harness, [&](QWidget* wizard) {
        FirstPage(wizard, file);
        message = AnswerMessageNotingCommits(harness);
        Click(wizard, "NextButton");
        // The wizard stays on its second page for another run.
        EXPECT_TRUE(wizard->isVisible());
        EXPECT_EQ(Page(wizard), 1);
    });
    ASSERT_TRUE(message);
    EXPECT_EQ(message->text, Q("Импорт успешно завершен.\r\nИмпортировано 250 точек."));
    // After the 100th and the 200th object, and the last 50 before success is reported.
    EXPECT_EQ(message->commits, 3);
    EXPECT_EQ(harness.Session().CommitCount(), 3);

    const auto points = ObjectsOf(kavrohost::ReadObjects(harness.ProjectFile()), "GEODESY");
    ASSERT_EQ(points.size(), 250u);
    for (int i : {0, 99, 100, 249}) {
        SCOPED_TRACE(i);
        const TObjectRecord& point = points[static_cast<std::size_t>(i)];
        ASSERT_EQ(point.shapes.size(), 1u);
        EXPECT_EQ(point.shapes[0].styleId, "GGS");
        const auto& vertex = point.shapes[0].parts.at(0).vertices.at(0);
        EXPECT_DOUBLE_EQ(vertex.x, 491000 + (i + 1) + 0.25);
        EXPECT_DOUBLE_EQ(vertex.y, 6288000 + 2 * (i + 1) + 0.5);
        EXPECT_EQ(Describe(Value(point, "NUMBER")), "text:Т-" + std::to_string(i + 1));
        EXPECT_EQ(Describe(Value(point, "NAME")), "text:опора " + std::to_string(i + 1) + ", ж/б");
    }
    // The view went to the points.
    const auto rect = harness.Session().LastShowRect();
    ASSERT_TRUE(rect);
    EXPECT_DOUBLE_EQ((*rect)[0], 491001.25);
    EXPECT_DOUBLE_EQ((*rect)[1], 6288002.5);
    EXPECT_DOUBLE_EQ((*rect)[2], 491250.25);
    EXPECT_DOUBLE_EQ((*rect)[3], 6288500.5);
}

TEST(PtsWizardThroughTheModule, HostFailureMidRunIsShownAndCommittedObjectsStay) {
    TModuleHarness harness(DemoProject());
    ASSERT_EQ(harness.InitializeResult(), S_OK);
    const std::filesystem::path file = WritePts(harness, 250);
    harness.Session().FailOn("IKavroMapObjects.Add", 151, "Сбой записи объекта");
    QString error;
    RunPtsWizard(harness, [&](QWidget* wizard) {
        FirstPage(wizard, file);
        const auto box = AnswerMessageBox();
        Click(wizard, "NextButton");
        error = *box;
        EXPECT_TRUE(wizard->isVisible());
        EXPECT_EQ(Page(wizard), 1);
        for (const char* name : {"NextButton", "PrevButton", "Cancel"})
            EXPECT_TRUE(Find<QWidget>(wizard, name)->isEnabled()) << name;
        Click(wizard, "Cancel");
    });
    // The host's own text crossed the boundary into the module's error box.
    EXPECT_TRUE(error.contains(Q("Сбой записи объекта"))) << error.toStdString();
    EXPECT_FALSE(error.contains(Q("Импорт успешно завершен.")));
    // The first hundred in the run, the next fifty when the writer went.
    EXPECT_EQ(harness.Session().CommitCount(), 2);
    const auto points = ObjectsOf(kavrohost::ReadObjects(harness.ProjectFile()), "GEODESY");
    ASSERT_EQ(points.size(), 150u);
    EXPECT_EQ(Describe(Value(points.back(), "NUMBER")), "text:Т-150");
    EXPECT_FALSE(harness.Session().LastShowRect());
}

TEST(PtsWizardThroughTheModule, ByCoordinateSystemsFromWgs84TheStoredPointsAreProjs) {
    TModuleHarness harness(DemoProject());
    ASSERT_EQ(harness.InitializeResult(), S_OK);
    // Longitude and latitude in degrees near Yaroslavl.
    const double lonLat[][2] = {{39.87, 57.62}, {39.8812345, 57.6301234}, {39.9, 57.61}};
    std::string text;
    for (int i = 0; i < 3; ++i) {
        char line[96];
        std::snprintf(line, sizeof line, "%d,%.7f,%.7f,wgs\r\n", i + 1, lonLat[i][0], lonLat[i][1]);
        text += line;
    }
    const std::filesystem::path file = harness.Dir().Path() / "wgs.pts";
    std::ofstream(file, std::ios::binary) << text;

    RunPtsWizard(harness, [&](QWidget* wizard) {
        FirstPage(wizard, file);
        ChooseSourceSystem(wizard, QStringLiteral("WGS 84"));
        EXPECT_EQ(Find<QLineEdit>(wizard, "CsEdit")->text(), QStringLiteral("WGS 84"));
        const auto box = AnswerMessageBox();
        Click(wizard, "NextButton");
        EXPECT_EQ(*box, Q("Импорт успешно завершен.\r\nИмпортировано 3 точки."));
    });

    const TWgs84ToUtm37Reference proj;
    ASSERT_TRUE(proj.Valid());
    const auto points = ObjectsOf(kavrohost::ReadObjects(harness.ProjectFile()), "GEODESY");
    ASSERT_EQ(points.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const auto [x, y] = proj(lonLat[i][0], lonLat[i][1]);
        const auto& vertex = points[i].shapes.at(0).parts.at(0).vertices.at(0);
        EXPECT_NEAR(vertex.x, x, 1e-3); // metres, PROJ
        EXPECT_NEAR(vertex.y, y, 1e-3);
        EXPECT_GT(vertex.x, 400000.0);
    }
}

} // namespace
