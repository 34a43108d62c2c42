// The text import wizard's rules through its widgets: the separator a paste detects, what a new
// set of column names resets, the choices kept in the host's settings store, the targets that
// going back drops, the styles a layer change keeps, the file list, and the run's buttons.
#include "textimport/text_wizard_fixture.h"

#include "host/core/host_session.h"
#include "support/point_project.h"
#include "text/text_reader.h"

#include <QTest>

#include <fstream>
#include <sys/stat.h>

namespace {

const char* const kNotImported = "< не импортировать >";

QString Q(const char* utf8) {
    return QString::fromUtf8(utf8);
}

TEST_F(TextWizardTest, PasteDetectsTheSeparatorAfterDroppingBlankLinesAtTheTop) {
    Open();
    struct Case {
        const char* text;
        // "" when nothing changes: the separator stays the "#" set before the paste.
        const char* separator;
        const char* firstLine;
    } cases[] = {
        // Blank lines above the data go before the lines are counted.
        {"\r\n  \t \r\nA;B;C\r\n1;2;3\r\n", ";", "A;B;C"},
        // The character that gives some line the most columns wins...
        {"a;b,c,d\r\nx;y\r\n", ",", "a;b,c,d"},
        {"a,b;c;d\nx,y\n", ";", "a,b;c;d"},
        // ...and on a tie the tab comes before ";", and ";" before ",".
        {"a;b\r\nc,d\r\n", ";", "a;b"},
        {"a\tb;c\r\n", "\t", "a\tb;c"},
        {"a,b\tc;d\r\n", "\t", "a,b\tc;d"},
        // Lines without any candidate, and an empty clipboard, change nothing.
        {"one column\r\nno separator\r\n", "", "one column"},
        {"\r\n\r\n", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Get<QRadioButton>("SymbolDivided")->setChecked(true);
        Get<QLineEdit>("DivSymbol")->setText(QStringLiteral("#"));
        Paste(c.text);
        const QString memo = Get<QPlainTextEdit>("Source")->toPlainText();
        EXPECT_EQ(memo.split(QLatin1Char('\n')).front(), Q(c.firstLine));
        EXPECT_EQ(m_form->Separator(), *c.separator ? *c.separator : '#');
        EXPECT_EQ(Get<QRadioButton>("TabDivided")->isChecked(), *c.separator == '\t');
        if (*c.separator && *c.separator != '\t') {
            EXPECT_EQ(Get<QLineEdit>("DivSymbol")->text(), Q(c.separator));
        }
    }
    // The pasted text is the table's, split by the separator found.
    Paste("X;Y\r\n1;2\r\n3;4");
    EXPECT_EQ(m_form->Table().RowCount(), 3);
    EXPECT_EQ(m_form->Table().ColCount(), 2);
    EXPECT_EQ(Get<QLabel>("ImportModeLabel")->text(), Q("Режим: импорт текста"));
    EXPECT_TRUE(Errors().empty());
}

TEST_F(TextWizardTest, TypedTextKeepsItsTabsAndAnEmptyMemoGivesOneNamedColumn) {
    Open();
    // An empty memo: one column, named after its index.
    Next();
    EXPECT_EQ(m_form->Table().RowCount(), 0);
    EXPECT_EQ(Column("SrcFieldsGrid", 0), (QStringList{Q("Поле 0")}));
    Prev();
    // Tab is typed into the memo, which does not wrap its lines.
    auto* memo = Get<QPlainTextEdit>("Source");
    memo->setFocus();
    QTest::keyClicks(memo, QStringLiteral("E"));
    QTest::keyClick(memo, Qt::Key_Tab);
    QTest::keyClicks(memo, QStringLiteral("N"));
    EXPECT_EQ(memo->toPlainText(), QStringLiteral("E\tN"));
    EXPECT_EQ(memo->lineWrapMode(), QPlainTextEdit::NoWrap);
    Get<QRadioButton>("TabDivided")->setChecked(true);
    Store("TextImportModule.TabDivided.Checked", "-1");
    Next();
    // A first row of data names the columns all the same.
    EXPECT_EQ(Column("SrcFieldsGrid", 0), (QStringList{"E", "N"}));
}

TEST_F(TextWizardTest, DetectedSeparatorWinsOverTheStoredOneWhenTheParametersShow) {
    Store("TextImportModule.TabDivided.Checked", "-1");
    Store("TextImportModule.SymbolDivided.Checked", "0");
    Open();
    Paste("N;X;Y\r\n1;10;20\r\n");
    Next();
    EXPECT_FALSE(Get<QRadioButton>("TabDivided")->isChecked());
    EXPECT_EQ(Column("SrcFieldsGrid", 0), (QStringList{"N", "X", "Y"}));
    // Without a paste the stored separator is applied.
    Prev();
    Click("SrcClear");
    Get<QPlainTextEdit>("Source")->setPlainText(QStringLiteral("A\tB\n1\t2"));
    Store("TextImportModule.TabDivided.Checked", "-1");
    Next();
    EXPECT_TRUE(Get<QRadioButton>("TabDivided")->isChecked());
    EXPECT_EQ(Column("SrcFieldsGrid", 0), (QStringList{"A", "B"}));
}

TEST_F(TextWizardTest, SeparatorChangeKeepsTheColumnsChosenWhileTheirNamesExist) {
    Store("TextImportModule.ComboBoxImportType.Index", "2");
    Open();
    Paste("N;X;Y;Kind\r\n1;10;20;a\r\n2;11;21;b\r\n");
    Next();
    Choose("XCoordField", "X");
    Choose("YCoordField", "Y");
    Choose("ClassifyField", "Kind");
    // The same separator typed again: the columns are still there under their names.
    Get<QLineEdit>("DivSymbol")->setText(QStringLiteral(";;"));
    EXPECT_EQ(Current("XCoordField"), "X");
    EXPECT_EQ(Current("YCoordField"), "Y");
    EXPECT_EQ(Current("ClassifyField"), "Kind");
    EXPECT_EQ(Column("ImportStylesGrid", 0), (QStringList{"a", "b"}));
    EXPECT_EQ(Get<QTableWidget>("SampleGrid")->horizontalHeaderItem(1)->text(), Q("X [X]"));
    // A separator that leaves one column: nothing of that name remains.
    Click("TabDivided");
    EXPECT_EQ(Get<QComboBox>("XCoordField")->currentIndex(), -1);
    EXPECT_EQ(Current("ClassifyField"), Q("< не зависит >"));
    EXPECT_EQ(Get<QTableWidget>("SampleGrid")->columnCount(), 1);
}

TEST_F(TextWizardTest, NewColumnNamesResetTheListsStylesAndTargets) {
    Store("TextImportModule.ComboBoxImportType.Index", "2");
    Open();
    Paste("N;Name;X;Y;Kind\r\n1;a;10;20;k\r\n2;b;11;21;K\r\n3;c;12;22;m\r\n");
    Next();
    EXPECT_EQ(Column("SrcFieldsGrid", 0), (QStringList{"N", "Name", "X", "Y", "Kind"}));
    Choose("XCoordField", "X");
    Choose("YCoordField", "Y");
    // The classifier's values in order, one per spelling that differs only in case (the first
    // met), each starting without a style.
    Choose("ClassifyField", "Kind");
    EXPECT_EQ(Column("ImportStylesGrid", 0), (QStringList{"k", "m"}));
    EXPECT_EQ(Column("ImportStylesGrid", 1), (QStringList{kNotImported, kNotImported}));
    Pick("ImportStylesGrid", 0, 1);
    Pick("ImportStylesGrid", 1, 2);
    EXPECT_EQ(Column("ImportStylesGrid", 1), (QStringList{Q("Пункт"), Q("Репер")}));
    ASSERT_EQ(m_ui.pickListRequests.size(), 2u);
    EXPECT_EQ(m_ui.pickListRequests[0].items,
              (std::vector<AnsiString>{Ansi(kNotImported), Ansi("Пункт"), Ansi("Репер")}));
    EXPECT_EQ(m_ui.pickListRequests[0].selected, 0);
    Next();
    Pick("ImportFieldsGrid", 1, 1);
    EXPECT_EQ(m_form->Fields()[1].FieldName, "NAME");
    Prev();

    // Emptying a name rebuilds nothing...
    auto* names = Get<QTableWidget>("SrcFieldsGrid");
    Choose("ClassifyField", "Kind");
    Pick("ImportStylesGrid", 0, 2);
    names->item(1, 0)->setText(QString());
    EXPECT_EQ(Current("XCoordField"), Q("X"));
    EXPECT_EQ(m_form->Styles().Count(), 2);
    // ...a new name rebuilds the lists: no X or Y, no classifier, one style for all (entry 0's
    // style kept), no targets, and the emptied name is the column's index.
    names->item(4, 0)->setText(QStringLiteral("Type"));
    EXPECT_EQ(Column("SrcFieldsGrid", 0), (QStringList{"N", Q("Поле 1"), "X", "Y", "Type"}));
    EXPECT_EQ(Get<QComboBox>("XCoordField")->currentIndex(), -1);
    EXPECT_EQ(Get<QComboBox>("YCoordField")->currentIndex(), -1);
    EXPECT_EQ(Current("ClassifyField"), Q("< не зависит >"));
    EXPECT_EQ(Get<QComboBox>("ClassifyField")->count(), 6);
    EXPECT_EQ(Column("ImportStylesGrid", 0), (QStringList{Q("< все >")}));
    EXPECT_EQ(Column("ImportStylesGrid", 1), (QStringList{Q("Репер")}));
    ASSERT_EQ(m_form->Styles().Count(), 1);
    EXPECT_EQ(m_form->Styles()[0].StyleID.Str(), "S2");
    ASSERT_EQ(m_form->Fields().Count(), 5);
    EXPECT_EQ(m_form->Fields()[1].SourceName, Ansi("Поле 1"));
    EXPECT_TRUE(m_form->Fields()[1].FieldName.empty());
    EXPECT_EQ(Column("ImportFieldsGrid", 1), QStringList(5, Q(kNotImported)));
}

TEST_F(TextWizardTest, SettingsAreAppliedInTheirOrderAndStoredUnderTheirKeys) {
    // Nothing stored: the defaults.
    Open();
    Paste("N;X;Y\r\n1;10;20\r\n");
    Next();
    EXPECT_EQ(Get<QComboBox>("ComboBoxImportType")->currentIndex(), 1);
    EXPECT_EQ(Current("Maps"), Q("Карта 1"));
    EXPECT_EQ(Current("SimpleComboBoxLayers"), Q("Пункты"));
    EXPECT_TRUE(Get<QRadioButton>("SymbolDivided")->isChecked());
    EXPECT_EQ(Current("XCoordField"), Q("N"));
    EXPECT_EQ(Current("YCoordField"), Q("X"));
    EXPECT_FALSE(Get<QComboBox>("ClassifyField")->isVisibleTo(m_form.get()));

    // Chosen on the page and stored when it is left.
    Choose("ComboBoxImportType", "Импортировать как несколько объектов");
    EXPECT_TRUE(Get<QComboBox>("ClassifyField")->isVisibleTo(m_form.get()));
    // The new map's layers: neither the layer held nor the active one is among them.
    Choose("Maps", "Карта 2");
    EXPECT_EQ(Get<QComboBox>("SimpleComboBoxLayers")->currentIndex(), -1);
    Choose("SimpleComboBoxLayers", "Планшеты");
    Choose("XCoordField", "X");
    Choose("YCoordField", "Y");
    Pick("ImportStylesGrid", 0, 1);
    Next();
    ASSERT_EQ(m_form->CurrentPage(), TTextImportForm::kSemDataPage)
        << ::testing::PrintToString(Errors());
    const std::pair<const char*, const char*> stored[] = {
        {"TextImportModule.ComboBoxImportType.Index", "2"},
        {"TextImportModule.ComboBoxMaps.Index", "1"},
        {"TextImportModule.ComboBoxLayers.Index", "0"},
        {"TextImportModule.ComboBoxClassifyField.Index", "0"},
        {"TextImportModule.TabDivided.Checked", "0"},
        {"TextImportModule.SymbolDivided.Checked", "-1"},
        {"TextImportModule.DivSymbol.Text", ";"},
        {"TextImportModule.ComboBoxXCoordField.Index", "1"},
        {"TextImportModule.ComboBoxYCoordField.Index", "2"},
        {"TextImportModule.ImportStyleName", "Рамка"},
        {"TextImportModule.ImportStyles0.StyleID", "S4"},
    };
    for (const auto& [key, value] : stored)
        EXPECT_EQ(Setting(key), value) << key;

    // Shown again: everything comes back from the store.
    m_form.reset();
    Open();
    Paste("N;X;Y\r\n1;10;20\r\n");
    Next();
    EXPECT_EQ(Get<QComboBox>("ComboBoxImportType")->currentIndex(), 2);
    EXPECT_EQ(Current("Maps"), Q("Карта 2"));
    EXPECT_EQ(Current("XCoordField"), Q("X"));
    EXPECT_EQ(Current("YCoordField"), Q("Y"));
    EXPECT_EQ(Column("ImportStylesGrid", 1), (QStringList{Q("Рамка")}));
    EXPECT_EQ(m_form->Styles()[0].StyleID.Str(), "S4");
    EXPECT_TRUE(Errors().empty()) << Errors().front();

    // The keys are written in their order: a store that fails at the fourth has written the
    // three before it, and the page is not left.
    Choose("ComboBoxImportType", "Импортировать как набор точек объекта");
    Choose("XCoordField", "N");
    m_session->FailOn("IKavroApplication.SetSetting", 4, "Хранилище недоступно");
    Prev();
    EXPECT_EQ(Errors(), (std::vector<std::string>{"Хранилище недоступно"}));
    EXPECT_EQ(m_form->CurrentPage(), TTextImportForm::kParamsPage);
    EXPECT_EQ(Setting("TextImportModule.ComboBoxImportType.Index"), "0");
    EXPECT_EQ(Setting("TextImportModule.ComboBoxXCoordField.Index"), "1");
}

TEST_F(TextWizardTest, StoredPositionsOutsideTheListsAndTextsThatAreNoNumbers) {
    // A map position past the end leaves the list alone; a stored style of another layer is
    // not taken.
    Store("TextImportModule.ComboBoxMaps.Index", "2");
    Store("TextImportModule.ComboBoxLayers.Index", "1");
    Store("TextImportModule.ComboBoxXCoordField.Index", "7");
    Store("TextImportModule.ImportStyleName", "Рамка");
    Store("TextImportModule.ImportStyles0.StyleID", "S4");
    Open();
    Paste("N;X;Y\r\n1;10;20\r\n");
    Next();
    EXPECT_TRUE(Errors().empty());
    EXPECT_EQ(Current("Maps"), Q("Карта 1"));
    EXPECT_EQ(Current("SimpleComboBoxLayers"), Q("Дороги"));
    EXPECT_EQ(Get<QComboBox>("XCoordField")->currentIndex(), -1);
    EXPECT_EQ(Column("ImportStylesGrid", 1), (QStringList{Q(kNotImported)}));
    EXPECT_TRUE(m_form->Styles()[0].StyleID.Empty());

    // A text that is no number stops the applying at its key: what came before is applied.
    Prev();
    Store("TextImportModule.ComboBoxImportType.Index", "0");
    Store("TextImportModule.ComboBoxLayers.Index", "0");
    Store("TextImportModule.TabDivided.Checked", "-1");
    Store("TextImportModule.ComboBoxXCoordField.Index", "1,5");
    Store("TextImportModule.ComboBoxYCoordField.Index", "2");
    Next();
    EXPECT_EQ(Errors(), (std::vector<std::string>{"'1,5' is not a valid integer value"}));
    EXPECT_EQ(m_form->CurrentPage(), TTextImportForm::kParamsPage);
    EXPECT_EQ(Get<QComboBox>("ComboBoxImportType")->currentIndex(), 0);
    EXPECT_EQ(Current("SimpleComboBoxLayers"), Q("Пункты"));
    EXPECT_TRUE(Get<QRadioButton>("TabDivided")->isChecked());
    EXPECT_EQ(Get<QComboBox>("YCoordField")->currentIndex(), -1);
}

TEST_F(TextWizardTest, ClosingBeforeTheParametersPageKeepsTheStoredChoices) {
    Store("TextImportModule.ComboBoxImportType.Index", "2");
    Store("TextImportModule.ComboBoxXCoordField.Index", "3");
    Open();
    m_form->show();
    Click("Cancel");
    EXPECT_EQ(m_form->result(), QDialog::Rejected);
    EXPECT_EQ(Setting("TextImportModule.ComboBoxImportType.Index"), "2");
    EXPECT_EQ(Setting("TextImportModule.ComboBoxXCoordField.Index"), "3");
    EXPECT_EQ(Setting("TextImportModule.DivSymbol.Text"), "(none)");

    // Once the page has been shown, Cancel stores what it holds.
    Open();
    m_form->show();
    Paste("N;X;Y\r\n1;10;20\r\n");
    Next();
    Choose("XCoordField", "Y");
    Next(); // the check fails without a style: the page is not left
    ASSERT_EQ(m_form->CurrentPage(), TTextImportForm::kParamsPage);
    EXPECT_EQ(Setting("TextImportModule.ComboBoxXCoordField.Index"), "3");
    Click("Cancel");
    EXPECT_EQ(Setting("TextImportModule.ComboBoxXCoordField.Index"), "2");
    EXPECT_EQ(Setting("TextImportModule.DivSymbol.Text"), ";");
}

TEST_F(TextWizardTest, BackFromTheAttributePageDropsTargetsAndPerValueStyles) {
    Store("TextImportModule.ComboBoxImportType.Index", "2");
    Store("TextImportModule.ComboBoxXCoordField.Index", "1");
    Store("TextImportModule.ComboBoxYCoordField.Index", "2");
    Store("TextImportModule.ImportStyleName", "Пункт");
    Store("TextImportModule.ImportStyles0.StyleID", "S1");
    Open();
    Paste("N;X;Y;Kind\r\n1;10;20;a\r\n2;11;21;b\r\n");
    Next();
    Choose("ClassifyField", "Kind");
    Pick("ImportStylesGrid", 0, 1);
    Pick("ImportStylesGrid", 1, 2);
    Next();
    ASSERT_EQ(m_form->CurrentPage(), TTextImportForm::kSemDataPage);
    Pick("ImportFieldsGrid", 0, 2); // Пункты.NUM
    Pick("ImportFieldsGrid", 3, 1); // Пункты.NAME
    EXPECT_EQ(Column("ImportFieldsGrid", 1),
              (QStringList{Q("Пункты.NUM"), Q(kNotImported), Q(kNotImported), Q("Пункты.NAME")}));
    EXPECT_EQ(m_form->Fields()[0].FieldType, 20);
    // The pick list offers every field of every table and preselects the current target.
    Pick("ImportFieldsGrid", 0, 2);
    EXPECT_EQ(m_ui.pickListRequests.back().selected, 2);
    EXPECT_EQ(m_ui.pickListRequests.back().items.size(), 5u);

    Prev();
    EXPECT_EQ(Column("ImportFieldsGrid", 1), QStringList(4, Q(kNotImported)));
    for (int i = 0; i < m_form->Fields().Count(); ++i)
        EXPECT_TRUE(m_form->Fields()[i].TableID.Empty());
    // One style for all again: the one stored when the page was left, entry 0's.
    EXPECT_EQ(Column("ImportStylesGrid", 0), (QStringList{Q("< все >")}));
    EXPECT_EQ(Column("ImportStylesGrid", 1), (QStringList{Q("Пункт")}));
    EXPECT_EQ(Current("ClassifyField"), Q("< не зависит >"));
}

TEST_F(TextWizardTest, LayerChangeResetsEntryZeroAndStylesOfOtherLayers) {
    Store("TextImportModule.ComboBoxImportType.Index", "2");
    Open();
    Paste("N;X;Y;Kind\r\n1;10;20;a\r\n2;11;21;b\r\n3;12;22;c\r\n");
    Next();
    Choose("XCoordField", "X");
    Choose("ClassifyField", "Kind");
    Pick("ImportStylesGrid", 0, 1);
    Pick("ImportStylesGrid", 1, 2);
    Pick("ImportStylesGrid", 2, 1);
    // Choosing the map again keeps its layer: only entry 0 starts over.
    Choose("Maps", "Карта 1");
    EXPECT_EQ(Current("SimpleComboBoxLayers"), Q("Пункты"));
    EXPECT_EQ(Column("ImportStylesGrid", 1),
              (QStringList{Q(kNotImported), Q("Репер"), Q("Пункт")}));
    EXPECT_TRUE(m_form->Styles()[0].StyleID.Empty());
    EXPECT_EQ(m_form->Styles()[1].StyleID.Str(), "S2");
    // Another layer has none of these styles.
    Choose("SimpleComboBoxLayers", "Дороги");
    EXPECT_EQ(Column("ImportStylesGrid", 1), QStringList(3, Q(kNotImported)));
    Pick("ImportStylesGrid", 2, 1);
    EXPECT_EQ(m_form->Styles()[2].StyleID.Str(), "S3");
    // Without attribute tables the field arrow does nothing.
    EXPECT_FALSE(Get<TArrowGrid>("ImportFieldsGrid")->ArrowButton()->isEnabled());
}

TEST_F(TextWizardTest, FilesAreListedAndReadWithAnEmptyRowBetweenThem) {
    Open();
    const auto write = [&](const char* name, const std::string& bytes) {
        std::ofstream(m_dir / name, std::ios::binary) << bytes;
        return m_dir / name;
    };
    const auto a = write("a.csv", "X;Y\r\n1;2\r\n");
    const auto b = write("b.txt", "3;4\n5;6");
    Paste("old;text\r\n");
    m_ui.fileAnswers.push_back({a, b});
    Click("SrcOpen");
    ASSERT_EQ(m_ui.openFileRequests.size(), 1u);
    EXPECT_EQ(m_ui.openFileRequests[0].title, Ansi("Считать исходные данные"));
    EXPECT_EQ(m_ui.openFileRequests[0].filter,
              Ansi("Текстовые файлы (*.txt, *.csv)|*.txt;*.csv|Все файлы (*.*)|*.*"));
    EXPECT_TRUE(m_ui.openFileRequests[0].multiSelect);
    EXPECT_EQ(Get<QLabel>("ImportModeLabel")->text(), Q("Режим: импорт файлов"));
    EXPECT_EQ(Get<QPlainTextEdit>("Source")->toPlainText(),
              QString::fromStdString(a.string() + "\n" + b.string()));
    Next();
    const TCSVData& table = m_form->Table();
    ASSERT_EQ(table.RowCount(), 5);
    EXPECT_EQ(table.Cells(1, 1), "2");
    EXPECT_EQ(table.Cells(2, 0), "");
    EXPECT_EQ(table.Cells(4, 1), "6");

    // A path that names no file stops on page 0 with an empty table.
    Prev();
    Get<QPlainTextEdit>("Source")->appendPlainText(
        QString::fromStdString((m_dir / "c.csv").string()));
    Next();
    EXPECT_EQ(Errors().back(), "Ошибка. Не найден файл \"" + (m_dir / "c.csv").string() + "\"");
    EXPECT_EQ(m_form->CurrentPage(), TTextImportForm::kSourcePage);
    EXPECT_EQ(m_form->Table().RowCount(), 0);

    // So does a file with a line longer than any table has, named with the line.
    const auto wide =
        write("wide.csv", "X;Y\r\n" + std::string(TTextReader::kMaxLineLength + 1, '1'));
    Get<QPlainTextEdit>("Source")->setPlainText(QString::fromStdString(wide.string()));
    Next();
    EXPECT_EQ(Errors().back(), "Файл \"" + wide.string() + "\": строка 2 длиннее " +
                                   std::to_string(TTextReader::kMaxLineLength) + " символов");
    EXPECT_EQ(m_form->CurrentPage(), TTextImportForm::kSourcePage);
    EXPECT_EQ(m_form->Table().RowCount(), 0);

    // Nor does a named pipe, and the wizard does not wait on it.
    const auto pipe = m_dir / "d.csv";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    Get<QPlainTextEdit>("Source")->setPlainText(QString::fromStdString(pipe.string()));
    Next();
    EXPECT_EQ(Errors().back(), "Ошибка. Не найден файл \"" + pipe.string() + "\"");
    EXPECT_EQ(m_form->CurrentPage(), TTextImportForm::kSourcePage);
}

TEST_F(TextWizardTest, ARunDisablesTheButtonsThatStartOrCloseTheWizard) {
    Store("TextImportModule.ComboBoxImportType.Index", "2");
    Store("TextImportModule.ComboBoxXCoordField.Index", "1");
    Store("TextImportModule.ComboBoxYCoordField.Index", "2");
    Store("TextImportModule.ImportStyleName", "Пункт");
    Store("TextImportModule.ImportStyles0.StyleID", "S1");
    Open();
    m_form->show();
    std::string text = "N;X;Y\r\n";
    for (int i = 0; i < 400; ++i)
        text += std::to_string(i) + ";" + std::to_string(i) + ";" + std::to_string(2 * i) + "\r\n";
    Paste(text.c_str());
    for (int page = 0; page < 4; ++page)
        Next();
    ASSERT_EQ(m_form->CurrentPage(), TTextImportForm::kImportPage);
    EXPECT_EQ(Get<QPushButton>("Next")->text(), Q("Импорт"));

    // While the run lets window messages through, nothing can start it again or close it.
    int checks = 0;
    m_ui.onProcessMessages = [&] {
        ++checks;
        EXPECT_TRUE(m_form->Running());
        for (const char* name : {"Next", "Prev", "Cancel"})
            EXPECT_FALSE(Get<QPushButton>(name)->isEnabled()) << name;
        m_form->reject();
        EXPECT_FALSE(m_form->close());
        EXPECT_TRUE(m_form->isVisible());
    };
    // A failing run gives the buttons back and stays on its page.
    m_session->FailOn("IKavroMapObjects.Commit", 1, "Нет места на диске");
    Next();
    EXPECT_GT(checks, 0);
    EXPECT_FALSE(m_form->Running());
    EXPECT_EQ(Errors().size(), 1u);
    EXPECT_NE(Errors().front().find("Нет места на диске"), std::string::npos) << Errors().front();
    EXPECT_TRUE(m_form->isVisible());
    for (const char* name : {"Next", "Prev", "Cancel"})
        EXPECT_TRUE(Get<QPushButton>(name)->isEnabled()) << name;

    // A run that succeeds reports and closes the wizard with OK.
    checks = 0;
    Next();
    EXPECT_GT(checks, 0);
    EXPECT_EQ(m_ui.Texts().back(), Ansi("Процесс завершен. Импортировано 400 объектов."));
    EXPECT_FALSE(m_form->isVisible());
    EXPECT_EQ(m_form->result(), QDialog::Accepted);
    EXPECT_EQ(m_form->ObjectCount(), 400);
    EXPECT_EQ(kavrohost::ReadObjects(m_file).size(), 800u);
}

} // namespace
