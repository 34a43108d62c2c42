// The SDR import wizard through its widgets on the host stand-in: the table and field lists a
// style choice fills, the checks before the second page, the settings a run receives, and the
// buttons while a run goes on.
#include "addon/addon_on_host.h"
#include "host/store/object_records.h"
#include "platform/gui/qt_text.h"
#include "sdr/gui/sdr_import_form.h"
#include "support/modal_driver.h"
#include "ui/gui/id_caption_combo.h"
#include "ui/scripted_interaction.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QToolButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <fstream>

namespace {

QString Q(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// Layer L1 with two tables (key fields in odd letter cases, fields of every kind), layer L2
// with a table sharing some field names with T1, layer L3 without a table.
nlohmann::json ProjectDescription() {
    return nlohmann::json::parse(R"json({
      "maps": [
        {"id": "M1", "name": "Карта", "layers": [
          {"id": "L1", "name": "Пункты", "styles": [{"id": "S1", "name": "Пункт"}],
           "tables": [
             {"id": "T1", "name": "POINTS", "caption": "Пункты", "fields": [
               {"name": "id", "type": 20}, {"name": "SimID", "type": 10},
               {"name": "NUM", "type": 10}, {"name": "KIND", "type": 21},
               {"name": "H", "type": 30}, {"name": "NOTE", "type": 11},
               {"name": "DT", "type": 40}, {"name": "CHK", "type": 42},
               {"name": "CNT", "type": 23}, {"name": "SCALE", "type": 32}]},
             {"id": "T2", "name": "LOG", "caption": "Журнал", "fields": [
               {"name": "NUM", "type": 20}, {"name": "H", "type": 31},
               {"name": "SEEN", "type": 41}]}]},
          {"id": "L2", "name": "Репера", "styles": [{"id": "S2", "name": "Репер"}],
           "tables": [
             {"id": "T3", "name": "MARKS", "caption": "Марки", "fields": [
               {"name": "H", "type": 30}, {"name": "NUM", "type": 22},
               {"name": "WHEN", "type": 40}]}]},
          {"id": "L3", "name": "Здания", "styles": [{"id": "S3", "name": "Дом"}]}]}]
    })json");
}

class SdrWizardTest : public TAddonOnHostTest {
protected:
    void SetUp() override {
        // A host folder without the coordinate-system library: the catalog holds only the
        // module's own systems, which is all these tests need.
        Open(ProjectDescription(), m_dir.Path());
        m_form = std::make_unique<TSdrImportForm>();
        m_form->Setup(*m_addon);
    }
    void TearDown() override {
        m_form.reset();
        TAddonOnHostTest::TearDown();
    }

    template <class T = QWidget> T* Get(const char* name) const {
        T* widget = m_form->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    void Click(const char* name) const { Get<QAbstractButton>(name)->click(); }

    // Picks the style by its name in the chooser that "Выбрать стиль ..." opens.
    void ChooseStyle(const char* name) const {
        WhenShown("ProjectTreeForm", [name](QWidget* chooser) {
            auto* tree = chooser->findChild<QTreeWidget*>(QStringLiteral("ProjectTree"));
            const auto found = tree->findItems(Q(name), Qt::MatchExactly | Qt::MatchRecursive);
            if (found.size() == 1) {
                tree->setCurrentItem(found.front());
                chooser->findChild<QPushButton*>(QStringLiteral("OkButton"))->click();
            } else {
                ADD_FAILURE() << "no single style " << name;
                static_cast<QDialog*>(chooser)->reject();
            }
        });
        Click("StyleButton");
    }
    void Select(const char* comboName, const char* value) const {
        auto* box = Get<TIdCaptionComboBox>(comboName);
        ASSERT_TRUE(box->SelectId(value)) << comboName << ": " << value;
        emit box->activated(box->currentIndex());
    }
    // The entries of a list as "value=caption", and its selected value.
    std::vector<std::string> Entries(const char* comboName) const {
        auto* box = Get<TIdCaptionComboBox>(comboName);
        std::vector<std::string> entries;
        for (int i = 0; i < box->count(); ++i)
            entries.push_back(AnsiToUtf8(box->IdAt(i)) + "=" + AnsiToUtf8(box->CaptionAt(i)));
        return entries;
    }
    std::string Selected(const char* comboName) const {
        auto* box = Get<TIdCaptionComboBox>(comboName);
        return box->currentIndex() < 0 ? "(none)" : AnsiToUtf8(box->SelectedId());
    }
    std::filesystem::path Write(const char* name, const std::string& bytes) const {
        const std::filesystem::path path = m_dir / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    std::vector<std::string> Messages() const {
        std::vector<std::string> texts;
        for (const auto& shown : m_ui.shown)
            texts.push_back(AnsiToUtf8(shown.text));
        return texts;
    }

    TScriptedInteraction m_ui;
    std::unique_ptr<TSdrImportForm> m_form;
};

std::string Field16(std::string text) {
    text.resize(16, ' ');
    return text;
}

// An SDR file with one coordinate record.
std::string SdrFile() {
    return "00NMSDR33 V04-04.02\r\n08KI" + Field16("101") + Field16("491000.5") +
           Field16("6288000.25") + Field16("150.3456") + "\r\n";
}

std::string Utf8(const std::u16string& text) {
    return WideToUtf8(text);
}

TEST_F(SdrWizardTest, StyleFillsTablesAndFieldsByTypeWithoutKeyFields) {
    ChooseStyle("Пункт");
    EXPECT_EQ(m_form->StyleId(), "S1");
    EXPECT_EQ(m_form->LayerId(), "L1");
    EXPECT_EQ(Get<QLineEdit>("LayerEdit")->text(), Q("[Карта] Пункты / Пункт"));
    // Tables by their names, the first selected.
    EXPECT_EQ(Entries("TableComboBox"), (std::vector<std::string>{"T1=POINTS", "T2=LOG"}));
    EXPECT_EQ(Selected("TableComboBox"), "T1");
    // "id" and "SimID" would qualify by type, KIND (21) and SCALE (32) do not.
    const std::vector<std::string> numbers = {"=<Не импортировать>", "NUM=NUM", "H=H", "NOTE=NOTE",
                                              "CNT=CNT"};
    EXPECT_EQ(Entries("NumberComboBox"), numbers);
    EXPECT_EQ(Entries("ZCoordComboBox"), numbers);
    EXPECT_EQ(Entries("DataTimeComboBox"),
              (std::vector<std::string>{"=<Не импортировать>", "NUM=NUM", "NOTE=NOTE", "DT=DT",
                                        "CHK=CHK"}));
    for (const char* list : {"NumberComboBox", "ZCoordComboBox", "DataTimeComboBox"})
        EXPECT_EQ(Selected(list), "") << list;
    EXPECT_TRUE(m_ui.shown.empty());
}

TEST_F(SdrWizardTest, ChosenFieldsStayWhenTheNextTableHasThemAndALayerWithoutTableEmptiesAll) {
    ChooseStyle("Пункт");
    Select("NumberComboBox", "NUM");
    Select("ZCoordComboBox", "H");
    Select("DataTimeComboBox", "DT");

    // Another table of the layer: NUM and H are there (of other numeric types), DT is not.
    Select("TableComboBox", "T2");
    EXPECT_EQ(Selected("NumberComboBox"), "NUM");
    EXPECT_EQ(Selected("ZCoordComboBox"), "H");
    EXPECT_EQ(Selected("DataTimeComboBox"), "");
    EXPECT_EQ(Entries("DataTimeComboBox"),
              (std::vector<std::string>{"=<Не импортировать>", "SEEN=SEEN"}));

    // Another style: its layer's table keeps the same names selected.
    Select("DataTimeComboBox", "SEEN");
    ChooseStyle("Репер");
    EXPECT_EQ(m_form->LayerId(), "L2");
    EXPECT_EQ(Selected("TableComboBox"), "T3");
    EXPECT_EQ(Selected("NumberComboBox"), "NUM");
    EXPECT_EQ(Selected("ZCoordComboBox"), "H");
    EXPECT_EQ(Selected("DataTimeComboBox"), "");

    // A layer without a table: no table, and the three lists hold nothing, so the run writes no
    // value.
    ChooseStyle("Дом");
    EXPECT_EQ(m_form->LayerId(), "L3");
    for (const char* list :
         {"TableComboBox", "NumberComboBox", "ZCoordComboBox", "DataTimeComboBox"}) {
        EXPECT_TRUE(Entries(list).empty()) << list;
        EXPECT_EQ(Selected(list), "(none)") << list;
    }
    const SDRImporter::TSdrImportParams params = m_form->Parameters();
    EXPECT_EQ(Utf8(params.LayerId), "L3");
    EXPECT_EQ(Utf8(params.StyleId), "S3");
    EXPECT_TRUE(params.TableId.empty());
    EXPECT_TRUE(params.NumberField.empty());
    EXPECT_TRUE(params.HeightField.empty());
    EXPECT_TRUE(params.DateField.empty());
    EXPECT_TRUE(m_ui.shown.empty());
}

TEST_F(SdrWizardTest, HostFailureWhileListingFieldsIsShownAndKeepsWhatWasRead) {
    ChooseStyle("Пункт");
    // The fourth field definition of T1 (KIND) cannot be read while the number list fills.
    m_session->FailOn("IKavroSemTable.GetFieldDef", 4, "Таблица недоступна");
    Select("TableComboBox", "T1");
    ASSERT_EQ(m_ui.shown.size(), 1u);
    EXPECT_EQ(m_ui.shown[0].kind, TScriptedInteraction::TShown::Error);
    EXPECT_NE(Messages()[0].find("Таблица недоступна"), std::string::npos) << Messages()[0];
    EXPECT_EQ(Entries("NumberComboBox"),
              (std::vector<std::string>{"=<Не импортировать>", "NUM=NUM"}));
    EXPECT_EQ(Selected("NumberComboBox"), "");
}

TEST_F(SdrWizardTest, ChecksBeforeTheSecondPageAndTheRunsSettings) {
    const std::filesystem::path good = Write("a.sdr", SdrFile());
    const std::filesystem::path bad = Write("b.txt", "101 1 2 3\r\n");
    auto* filesEdit = Get<QPlainTextEdit>("FilesEdit");
    // What each step leaves, and the message "Далее >" then gives ("" for the second page).
    struct Step {
        const char* what;
        std::function<void()> act;
        const char* message;
    } steps[] = {
        {"nothing chosen", [] {}, "Файл не выбран."},
        {"only failing files",
         [&] {
             m_ui.fileAnswers.push_back({bad});
             Click("SelectFileButton");
             EXPECT_TRUE(filesEdit->toPlainText().isEmpty());
         },
         "Файл не выбран."},
        {"a file without a style",
         [&] {
             m_ui.fileAnswers.push_back({bad, good});
             Click("SelectFileButton");
             EXPECT_EQ(filesEdit->toPlainText(), QString::fromStdU16String(good.u16string()));
         },
         "Стиль не задан."},
        {"the file dialog cancelled keeps the files", [&] { Click("SelectFileButton"); },
         "Стиль не задан."},
        {"a style", [&] { ChooseStyle("Пункт"); }, ""},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        m_ui.shown.clear();
        step.act();
        Click("NextButton");
        if (*step.message) {
            EXPECT_EQ(Messages(), std::vector<std::string>{step.message});
            EXPECT_EQ(m_ui.shown.at(0).kind, TScriptedInteraction::TShown::Message);
            EXPECT_EQ(m_form->CurrentPage(), TSdrImportForm::kSettingsPage);
        } else {
            EXPECT_TRUE(m_ui.shown.empty());
            EXPECT_EQ(m_form->CurrentPage(), TSdrImportForm::kTransformationPage);
        }
    }
    EXPECT_EQ(m_form->Files(), std::vector<std::filesystem::path>{good});
    ASSERT_FALSE(m_ui.openFileRequests.empty());
    const TOpenFileOptions& request = m_ui.openFileRequests.front();
    EXPECT_EQ(request.title, Ansi("Выбор файлов съемки"));
    EXPECT_EQ(request.filter, Ansi("Файлы съемки (*.sdr, *.rpt, *.gsi)|*.sdr;*.rpt;*.gsi|"
                                   "Файлы SDR (*.sdr)|*.sdr|Файлы RPT (*.rpt)|*.rpt|"
                                   "Файлы Leica GSI (*.gsi)|*.gsi|Все файлы (*.*)|*.*"));
    EXPECT_TRUE(request.multiSelect);
    EXPECT_EQ(Get<QPushButton>("NextButton")->text(), Q("Импорт"));
    EXPECT_FALSE(Get<QPushButton>("PrevButton")->isHidden());
    Click("PrevButton");
    EXPECT_EQ(m_form->CurrentPage(), TSdrImportForm::kSettingsPage);
    EXPECT_TRUE(Get<QPushButton>("PrevButton")->isHidden());
    EXPECT_EQ(Get<QPushButton>("NextButton")->text(), Q("Далее >"));

    // The settings a run receives: the precision kept within 1 to 15, the date as OLE days.
    auto* precision = Get<QSpinBox>("PrecisionEdit");
    EXPECT_EQ(precision->value(), 2);
    EXPECT_EQ(Get<QDateEdit>("ImportDateTime")->date(), QDate::currentDate());
    precision->setValue(16);
    Get<QDateEdit>("ImportDateTime")->setDate(QDate(2024, 5, 15));
    // The calendar that drops down names the month in Russian.
    const auto* month = Get<QDateEdit>("ImportDateTime")
                            ->calendarWidget()
                            ->findChild<QToolButton*>(QStringLiteral("qt_calendar_monthbutton"));
    ASSERT_NE(month, nullptr);
    EXPECT_EQ(month->text().toLower(), Q("май"));
    Select("NumberComboBox", "NUM");
    Select("DataTimeComboBox", "CHK");
    const SDRImporter::TSdrImportParams params = m_form->Parameters();
    EXPECT_EQ(params.Precision, 15);
    EXPECT_EQ(params.ImportDate, 45427.0); // 1899-12-30 + 45427 days = 2024-05-15
    EXPECT_EQ(Utf8(params.TableId), "T1");
    EXPECT_EQ(Utf8(params.NumberField), "NUM");
    EXPECT_EQ(Utf8(params.HeightField), "");
    EXPECT_EQ(Utf8(params.DateField), "CHK");
    precision->setValue(0);
    EXPECT_EQ(m_form->Parameters().Precision, 1);
}

TEST_F(SdrWizardTest, FilesBoxShowsSixWholeNamesAndScrollsForMore) {
    m_form->show();
    auto* filesEdit = Get<QPlainTextEdit>("FilesEdit");
    const int line = filesEdit->fontMetrics().lineSpacing();
    std::vector<std::filesystem::path> files;
    for (int count = 1; count <= 7; ++count) {
        SCOPED_TRACE(count);
        files.push_back(Write(("s" + std::to_string(count) + ".sdr").c_str(), SdrFile()));
        m_ui.fileAnswers.push_back(files);
        Click("SelectFileButton");
        QApplication::processEvents();
        ASSERT_EQ(filesEdit->blockCount(), count);
        EXPECT_EQ(filesEdit->verticalScrollBar()->maximum(), count <= 6 ? 0 : count - 6);
    }
    // No part of a seventh line shows under the sixth.
    EXPECT_LT(filesEdit->viewport()->height(),
              6 * line + line / 2 + 2 * filesEdit->document()->documentMargin());
}

TEST_F(SdrWizardTest, RunKeepsTheWizardOpenOnItsPageWithItsButtonsLockedUntilItEnds) {
    const std::filesystem::path file = Write("a.sdr", SdrFile());
    m_ui.fileAnswers.push_back({file});
    Click("SelectFileButton");
    ChooseStyle("Пункт");
    Click("NextButton");
    ASSERT_EQ(m_form->CurrentPage(), TSdrImportForm::kTransformationPage);
    m_form->show();

    // The closing message comes while the run is still on: nothing may start or close it, nor
    // change the transformation it prepared.
    std::vector<std::string> locked;
    m_ui.onShown = [&](const TScriptedInteraction::TShown&) {
        EXPECT_TRUE(m_form->Running());
        for (const char* name : {"NextButton", "PrevButton", "Cancel", "StyleButton",
                                 "SelectFileButton", "TransformationTypeComboBox"})
            if (!Get<QWidget>(name)->isEnabled())
                locked.push_back(name);
        m_form->reject();
        Get<QPushButton>("NextButton")->click();
    };
    Click("NextButton");
    m_ui.onShown = nullptr;
    EXPECT_EQ(locked.size(), 6u);
    EXPECT_EQ(Messages(),
              std::vector<std::string>{"Импорт успешно завершен.\r\nИмпортировано 1 точка."});
    EXPECT_TRUE(m_form->isVisible());
    EXPECT_FALSE(m_form->Running());
    EXPECT_EQ(m_form->CurrentPage(), TSdrImportForm::kTransformationPage);
    for (const char* name :
         {"NextButton", "PrevButton", "Cancel", "StyleButton", "TransformationTypeComboBox"})
        EXPECT_TRUE(Get<QWidget>(name)->isEnabled()) << name;
    // The preview box holds the import's log; one object, not two.
    const QString log = Get<QPlainTextEdit>("PreviewMemo")->toPlainText();
    EXPECT_TRUE(log.contains(Q("Операция завершена"))) << log.toStdString();
    EXPECT_EQ(kavrohost::ReadObjects(m_file).size(), 1u);
    // The page said what the run would do and keeps what it did.
    EXPECT_TRUE(Get<QLabel>("RunPlan")->text().startsWith(Q("К импорту: 1 файл: a.sdr\n")))
        << Get<QLabel>("RunPlan")->text().toStdString();
    EXPECT_EQ(Get<QLabel>("RunReport")->text(),
              Q("Импортировано: 1 точка\nПропущенных строк нет."));
    m_form->reject();
    EXPECT_FALSE(m_form->isVisible());
}

// The check box "Вычислять координаты по измерениям": off in a new wizard; ticked, the preview
// lists again the chosen files with the points their observations give, marked, and the import
// writes them; an observation that cannot be reduced is named in the closing message.
TEST_F(SdrWizardTest, ReducingObservationsListsAndImportsTheComputedPoints) {
    // Station 1 at N 1000, E 2000, its circle reading azimuths; point 102 observed 10 m due east
    // at a zenith angle of 90 degrees, point 103 (line 7) without a distance.
    const std::filesystem::path file = Write(
        "a.sdr", SdrFile() + "02TP" + Field16("1") + Field16("1000") + Field16("2000") +
                     Field16("100") + Field16("1.5") + "\r\n07TP" + Field16("1") + Field16("2") +
                     Field16("0") + Field16("0") + "\r\n03NM" + Field16("1.5") + "\r\n09F1" +
                     Field16("1") + Field16("102") + Field16("10") + Field16("90") + Field16("90") +
                     "\r\n09F1" + Field16("1") + Field16("103") + Field16("0") + Field16("90") +
                     Field16("90") + "\r\n");
    auto* box = Get<QCheckBox>("ReduceObservationsCheckBox");
    EXPECT_EQ(box->text(), Q("Вычислять координаты по измерениям"));
    EXPECT_FALSE(box->isChecked());
    m_ui.fileAnswers.push_back({file});
    Click("SelectFileButton");
    auto* memo = Get<QPlainTextEdit>("PreviewMemo");
    // A point line begins with its number (the file's folder may hold the same digits).
    EXPECT_FALSE(memo->toPlainText().contains(Q("\n102 "))) << memo->toPlainText().toStdString();

    box->setChecked(true);
    const QString preview = memo->toPlainText();
    EXPECT_EQ(preview.count(Q("(вычислена)")), 1) << preview.toStdString();
    EXPECT_TRUE(preview.contains(Q("102 1000,00 2010,00 100,00 (вычислена)")) ||
                preview.contains(Q("102 1000.00 2010.00 100.00 (вычислена)")))
        << preview.toStdString();

    ChooseStyle("Пункт");
    Click("NextButton");
    Click("NextButton");
    EXPECT_EQ(Messages(), std::vector<std::string>{"Импорт завершен.\r\nИмпортировано 2 точки."
                                                   "\r\nНет расстояния до точки: 1 строка (7)"});
    EXPECT_EQ(kavrohost::ReadObjects(m_file).size(), 2u);
}

} // namespace
