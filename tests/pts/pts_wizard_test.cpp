// The PTS wizard through its widgets on the host stand-in: the table and field lists, the file
// choice with its preview, the style choice, the checks before the second page and the run's
// buttons. The chooser is answered through its Qt widgets, the rest by a scripted service.
#include "addon/com_server.h"
#include "addon/sample_addon.h"
#include "coords/gui/import_transformation_page.h"
#include "host/core/host_session.h"
#include "host/store/object_records.h"
#include "platform/gui/qt_text.h"
#include "pts/gui/pts_import_form.h"
#include "support/modal_driver.h"
#include "support/temp_dir.h"
#include "ui/scripted_interaction.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTreeWidget>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <fstream>
#include <memory>

namespace {

QString Q(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// The demo project, with a second table on the roads' layer whose key fields are written in
// mixed case and which has no text field.
nlohmann::json WizardProject() {
    std::ifstream file(std::filesystem::path(TI_SOURCE_DIR) / "samples" / "demo-project.json");
    nlohmann::json project = nlohmann::json::parse(file);
    for (auto& layer : project["maps"][0]["layers"])
        if (layer["id"] == "ROADS")
            layer["tables"].push_back(nlohmann::json::parse(R"json(
              {"id": "ROADKEYS", "name": "ROADKEYS", "caption": "Коды дорог", "fields": [
                {"name": "Id", "type": 20}, {"name": "simid", "type": 10},
                {"name": "CODE", "type": 20}, {"name": "KIND", "type": 21},
                {"name": "OPENED", "type": 40}]})json"));
    return project;
}

class PtsWizardTest : public ::testing::Test {
protected:
    void SetUp() override {
        kavrohost::CreateProject(m_file, WizardProject());
        // No coordinate-system library under this host folder: the affine method is all the
        // wizard needs here.
        m_session = std::make_unique<kavrohost::THostSession>(m_file, m_dir.Path());
        m_addon = new TSampleAddon; // the module's state owns it
        m_addon->Initialize(m_session->Manager());
        m_form = std::make_unique<TPtsImportForm>();
        m_form->Setup(*m_addon);
    }
    void TearDown() override {
        m_form.reset();
        m_addon->Finalize();
        UnloadAddonModule();
        m_session.reset();
    }

    template <class T = QWidget> T* Get(const char* name) const {
        T* widget = m_form->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    void Click(const char* name) const { Get<QPushButton>(name)->click(); }
    int Page() const { return Get<QStackedWidget>("PageControl")->currentIndex(); }
    QStringList Items(const char* comboName) const {
        auto* box = Get<QComboBox>(comboName);
        QStringList items;
        for (int i = 0; i < box->count(); ++i)
            items << box->itemText(i);
        return items;
    }
    QString Current(const char* comboName) const {
        return Get<QComboBox>(comboName)->currentText();
    }
    void Choose(const char* comboName, const char* utf8) const {
        auto* box = Get<QComboBox>(comboName);
        const int index = box->findText(Q(utf8));
        ASSERT_GE(index, 0) << utf8;
        box->setCurrentIndex(index);
        emit box->activated(index);
    }
    // "..." beside the layer: the chooser opens and the style with that name is confirmed.
    void ChooseStyle(const char* utf8) const {
        WhenShown("ProjectTreeForm", [style = Q(utf8)](QWidget* chooser) {
            auto* tree = chooser->findChild<QTreeWidget*>(QStringLiteral("ProjectTree"));
            const auto found = tree->findItems(style, Qt::MatchExactly | Qt::MatchRecursive);
            if (found.isEmpty()) {
                ADD_FAILURE() << "no style " << style.toStdString();
                static_cast<QDialog*>(chooser)->reject();
                return;
            }
            tree->setCurrentItem(found.front());
            chooser->findChild<QPushButton*>(QStringLiteral("OkButton"))->click();
        });
        Click("LayerStyleButton");
    }
    std::filesystem::path Write(const char* name, const std::string& bytes) const {
        const std::filesystem::path path = m_dir / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    void ChooseFile(const std::filesystem::path& file) {
        m_ui.fileAnswers.push_back({file});
        Click("ImportFileButton");
    }
    std::vector<std::string> Shown() const {
        std::vector<std::string> texts;
        for (const auto& shown : m_ui.shown)
            texts.push_back(AnsiToUtf8(shown.text));
        return texts;
    }

    TTempDir m_dir;
    std::filesystem::path m_file = m_dir / "project.kavro";
    std::unique_ptr<kavrohost::THostSession> m_session;
    TSampleAddon* m_addon = nullptr;
    TScriptedInteraction m_ui;
    std::unique_ptr<TPtsImportForm> m_form;
};

TEST_F(PtsWizardTest, FieldListsFollowTypeCodesSkipKeyFieldsAndKeepTheChosenName) {
    ChooseStyle("Пункт ГГС");
    EXPECT_EQ(Get<QLineEdit>("LayerEdit")->text(),
              Q("[Топографическая карта] Геодезические пункты / Пункт ГГС"));
    EXPECT_EQ(Items("TableComboBox"), (QStringList{"POINTS", "SURVEYS"}));
    EXPECT_EQ(Current("TableComboBox"), QStringLiteral("POINTS"));
    // Text (10, 11), integer (22, 23) and real (30, 31) kinds take a number; 21, 32 and the
    // dates do not; ID and SIMID never show.
    EXPECT_EQ(Items("NumberComboBox"),
              (QStringList{"NUMBER", "NAME", "CENTRE", "MARKS", "HEIGHT", "ACCURACY"}));
    EXPECT_EQ(Items("CommentComboBox"), (QStringList{"NUMBER", "NAME"}));
    EXPECT_EQ(Current("NumberComboBox"), QStringLiteral("NUMBER"));

    // Another table keeps a chosen name that it has, else takes its first field.
    Choose("NumberComboBox", "HEIGHT");
    Choose("CommentComboBox", "NAME");
    Choose("TableComboBox", "SURVEYS");
    EXPECT_EQ(Items("NumberComboBox"), (QStringList{"OBSERVER", "HEIGHT"}));
    EXPECT_EQ(Current("NumberComboBox"), QStringLiteral("HEIGHT"));
    EXPECT_EQ(Items("CommentComboBox"), (QStringList{"OBSERVER"}));
    EXPECT_EQ(Current("CommentComboBox"), QStringLiteral("OBSERVER"));

    // Key fields in any letter case are skipped; a table without text fields offers no comment
    // field at all.
    ChooseStyle("Шоссе");
    EXPECT_EQ(Items("TableComboBox"), (QStringList{"ROADINFO", "ROADKEYS"}));
    Choose("TableComboBox", "ROADKEYS");
    EXPECT_EQ(Items("NumberComboBox"), (QStringList{"CODE"}));
    EXPECT_TRUE(Items("CommentComboBox").isEmpty());
    EXPECT_EQ(Get<QComboBox>("CommentComboBox")->currentIndex(), -1);
    EXPECT_TRUE(Shown().empty());
}

TEST_F(PtsWizardTest, AStyleWithoutTableIsRefusedAndTheSameStyleAgainChangesNothing) {
    ChooseStyle("Пункт ГГС");
    Choose("TableComboBox", "SURVEYS");
    const QString caption = Get<QLineEdit>("LayerEdit")->text();

    // The buildings' layer has no attribute table: the page and the style in force stay as
    // they were, so that the run writes what the page shows.
    ChooseStyle("Жилой дом");
    EXPECT_EQ(Shown(), std::vector<std::string>{"семантическая таблица не найдена"});
    EXPECT_EQ(m_form->StyleId(), "GGS");
    EXPECT_EQ(m_form->LayerId(), "GEODESY");
    EXPECT_EQ(Get<QLineEdit>("LayerEdit")->text(), caption);
    EXPECT_EQ(Current("TableComboBox"), QStringLiteral("SURVEYS"));

    // Confirming the style already chosen is no choice: the table list is not refilled.
    ChooseStyle("Пункт ГГС");
    EXPECT_EQ(Current("TableComboBox"), QStringLiteral("SURVEYS"));
    EXPECT_EQ(m_ui.shown.size(), 1u);
}

TEST_F(PtsWizardTest, FileChoicePreviewsAndSaysWhyAFileDoesNotRead) {
    const std::string good = "1,10,20,угол дома\r\n\r\n2,11.5,21,опора, ж/б\r\n";
    struct Case {
        const char* name;
        std::string bytes;
        int memoLines;
        const char* lastLine; // nullptr: a point's line
    } cases[] = {
        {"Съемка.Pts", Ansi(good.c_str()), 2, nullptr},
        {"points.txt", Ansi(good.c_str()), 1, "Ошибка: Неизвестный тип файла"},
        // The lines before the invalid one stay in the preview, the reason after them.
        {"bad.pts", "1,10,20\r\n2,11,21\r\n3,x,22\r\n4,12,23\r\n", 3,
         "Ошибка: Файл bad.pts, строка 3: значение \"x\" не является числом"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ChooseFile(Write(c.name, c.bytes));
        // The file stays chosen: the user sees it and the reason beside it.
        const QString edit = Get<QLineEdit>("ImportFileNameEdit")->text();
        EXPECT_TRUE(edit.endsWith(Q(c.name))) << edit.toStdString();
        const QString memo = Get<QPlainTextEdit>("Memo1")->toPlainText();
        const QStringList lines = memo.split('\n');
        EXPECT_EQ(lines.size(), c.memoLines);
        if (c.lastLine) {
            EXPECT_EQ(lines.back(), Q(c.lastLine));
        }
    }
    // The first file's comments came through in their code page, with their inner commas.
    ChooseFile(m_dir / "Съемка.Pts");
    EXPECT_TRUE(Get<QPlainTextEdit>("Memo1")->toPlainText().endsWith(Q(" опора, ж/б")));
    ASSERT_EQ(m_ui.openFileRequests.size(), 4u);
    EXPECT_EQ(m_ui.openFileRequests[0].title, Ansi("Открыть файл"));
    EXPECT_EQ(m_ui.openFileRequests[0].filter,
              Ansi("Файлы PTS (*.pts)|*.pts|Любые файлы (*.*)|*.*"));
    EXPECT_FALSE(m_ui.openFileRequests[0].multiSelect);
    EXPECT_TRUE(Shown().empty());
}

TEST_F(PtsWizardTest, NextChecksFileThenStyleAndTheSecondPageRunsWithItsButtonsOff) {
    EXPECT_FALSE(Get<QPushButton>("PrevButton")->isVisibleTo(m_form.get()));
    EXPECT_EQ(Get<QPushButton>("NextButton")->text(), Q("Далее >"));
    EXPECT_EQ(Get<QPushButton>("Cancel")->text(), Q("Выход"));
    Click("NextButton");
    ChooseFile(Write("p.pts", "1,491000,6288000,первый\r\n2,491010,6288020\r\n"));
    Click("NextButton");
    EXPECT_EQ(Shown(), (std::vector<std::string>{"Файл не выбран.", "Стиль не задан."}));
    EXPECT_EQ(Page(), 0);

    ChooseStyle("Репер");
    Choose("CommentComboBox", "NAME");
    Click("NextButton");
    ASSERT_EQ(Page(), 1);
    EXPECT_TRUE(Get<QPushButton>("PrevButton")->isVisibleTo(m_form.get()));
    EXPECT_EQ(Get<QPushButton>("NextButton")->text(), Q("Импорт"));
    // The last page says what the run will do; a step of the chain shows there at once.
    const auto plan = [&] { return Get<QLabel>("RunPlan")->text(); };
    EXPECT_TRUE(plan().startsWith(Q("Будет прочитан файл «p.pts»\n"))) << plan().toStdString();
    EXPECT_TRUE(plan().contains(Q("Комментарий: в поле «NAME»"))) << plan().toStdString();
    EXPECT_TRUE(plan().endsWith(Q("Преобразование координат: нет (аффинная цепочка пуста)")));
    m_form->TransformationPage().Chain().Add(std::make_unique<TTransformTranslationItem>(1, 2));
    EXPECT_TRUE(plan().contains(Q("Преобразование координат: аффинное, 1 шаг: Смещение")))
        << plan().toStdString();
    m_form->TransformationPage().Chain().Clear();
    EXPECT_FALSE(Get<QLabel>("RunReport")->isVisibleTo(m_form.get()));

    // While the run is on, nothing can start it again or close the wizard.
    bool offDuringRun = false;
    m_ui.onShown = [&](const TScriptedInteraction::TShown&) {
        offDuringRun = m_form->Running() && !Get<QPushButton>("NextButton")->isEnabled() &&
                       !Get<QPushButton>("PrevButton")->isEnabled() &&
                       !Get<QPushButton>("Cancel")->isEnabled();
        m_form->reject();
    };
    bool closed = false;
    QObject::connect(m_form.get(), &QDialog::finished, [&] { closed = true; });
    m_ui.shown.clear();
    Click("NextButton");
    EXPECT_TRUE(offDuringRun);
    EXPECT_EQ(Shown(),
              std::vector<std::string>{"Импорт успешно завершен.\r\nИмпортировано 2 точки."});
    EXPECT_FALSE(closed);
    EXPECT_EQ(Page(), 1);
    for (const char* name : {"NextButton", "PrevButton", "Cancel"})
        EXPECT_TRUE(Get<QPushButton>(name)->isEnabled()) << name;
    // Beside the message, the page keeps the report.
    EXPECT_EQ(Get<QLabel>("RunReport")->text(),
              Q("Импортировано: 2 точки\nПропущенных строк нет."));

    const auto objects = kavrohost::ReadObjects(m_file);
    ASSERT_EQ(objects.size(), 2u);
    EXPECT_EQ(objects[0].shapes.at(0).styleId, "REPER");

    // Back keeps every choice.
    Click("PrevButton");
    EXPECT_EQ(Page(), 0);
    EXPECT_FALSE(Get<QLineEdit>("ImportFileNameEdit")->text().isEmpty());
    EXPECT_EQ(Current("CommentComboBox"), QStringLiteral("NAME"));
}

TEST_F(PtsWizardTest, AnEmptyCommentListStillWritesTheCommentAndTheHostAnswers) {
    ChooseFile(Write("p.pts", "7,491000,6288000,без поля\r\n"));
    ChooseStyle("Шоссе");
    Choose("TableComboBox", "ROADKEYS");
    Click("NextButton");
    ASSERT_EQ(Page(), 1);
    Click("NextButton");
    // The comment goes to a field without a name, which this host refuses: the point stays
    // without it, and the closing message counts the refusal with the host's words.
    ASSERT_EQ(m_ui.shown.size(), 1u);
    EXPECT_EQ(m_ui.shown[0].kind, TScriptedInteraction::TShown::Message);
    EXPECT_EQ(Shown()[0].rfind("Импорт завершен.\r\nИмпортировано 1 точка.\r\nБаза данных не "
                               "приняла значение атрибута: 1 строка (1). ",
                               0),
              0u)
        << Shown()[0];
    EXPECT_NE(Shown()[0].find("ROADKEYS"), std::string::npos) << Shown()[0];
    EXPECT_EQ(Page(), 1);
    // The number went to CODE before that.
    const auto objects = kavrohost::ReadObjects(m_file);
    ASSERT_EQ(objects.size(), 1u);
    ASSERT_EQ(objects[0].values.size(), 1u);
    EXPECT_EQ(objects[0].values[0].field, "CODE");
}

} // namespace
