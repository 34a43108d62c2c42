// The coordinate system editor driven through its real widgets: which page opens, the list and
// its filter, the checks of the parameter page in their order, the clipboard line, and the
// constructor button of formats with a custom editor.
#include "coords/gui/coordinate_system_editor.h"
#include "coords/gui/coordinate_system_list_model.h"
#include "fake_provider.h"
#include "platform/gui/clipboard.h"
#include "platform/gui/qt_text.h"
#include "support/modal_driver.h"
#include "ui/gui/delayed_event.h"
#include "ui/scripted_interaction.h"

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QTreeView>
#include <gtest/gtest.h>

namespace {

// Predefined references beside the shift provider's "Origin": captions for the filter and one
// undefined reference that option 1 hides. It offers no format of its own, so its references
// are checked by the shift provider.
class TListProvider final : public TCoordinateSystemProvider {
public:
    TListProvider() : TCoordinateSystemProvider("Test.List") {}
    void Initialize() override {}
    void GetFormats(TCoordinateReferenceFormatList&) override {}
    void GetPredefinedReferences(TCoordinateReferenceList& list) override {
        const struct {
            const char* caption;
            const char* parameters;
        } entries[] = {
            {"Pulkovo 1942 / Gauss-Kruger zone 7", "7 0"},
            {"Abakan local", "1 1"},
            {"Labrador grid", "2 2"},
            {"WGS 84 / UTM zone 37N", "37 0"},
            {"Unfinished system", "  "},
        };
        for (const auto& e : entries)
            list.push_back(std::make_shared<TCoordinateReference>(
                RefDef("SHIFT", e.parameters, false, e.caption)));
    }
    bool CreateReference(const TCoordinateReferenceDef&, TCoordinateReferencePtr&) override {
        return false;
    }
    bool CreateTransformation(const TCoordinateReferenceDef&, const TCoordinateReferenceDef&,
                              TCoordinateTransformationPtr&) override {
        return false;
    }
    AnsiString GetLastError() override { return {}; }
};

// Records what the constructor button hands over and answers with a fixed reference.
class TRecordingEditor final : public TCoordinateSystemCustomEditor {
public:
    bool Edit(QWidget* owner, TCoordinateSystemCatalog&,
              TCoordinateReferenceDef& reference) override {
        ++calls;
        this->owner = owner;
        received = reference;
        if (!answer)
            return false;
        reference = *answer;
        return true;
    }
    int calls = 0;
    QWidget* owner = nullptr;
    TCoordinateReferenceDef received;
    std::optional<TCoordinateReferenceDef> answer;
};

class EditorFixture : public ::testing::Test {
protected:
    void SetUp() override { catalog.Reload(); }
    void TearDown() override { FreeCoordinateSystemCustomEditors(); }

    // A set-up form; shown, so that focus and visibility behave as for the user.
    std::unique_ptr<TCoordinateSystemEditorForm> Open(unsigned options,
                                                      const TCoordinateReferenceDef& reference = {},
                                                      const char* excluded = "") {
        auto form = std::make_unique<TCoordinateSystemEditorForm>(nullptr);
        TCoordinateSystemEditorConfiguration configuration;
        configuration.Options = static_cast<std::uint8_t>(options);
        configuration.ExcludedFormat = excluded;
        form->Setup(catalog, configuration, reference);
        form->show();
        return form;
    }

    template <class T> static T* Child(QWidget* form, const char* name) {
        T* child = form->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }
    static QTreeView* List(QWidget* form) { return Child<QTreeView>(form, "ListView"); }
    static void Click(QWidget* form, const char* button) {
        QTest::mouseClick(Child<QPushButton>(form, button), Qt::LeftButton);
    }
    static QStringList Captions(QWidget* form) {
        QStringList captions;
        auto* model = List(form)->model();
        for (int row = 0; row < model->rowCount(); ++row)
            captions << model->index(row, 0).data().toString();
        return captions;
    }
    static bool OnListPage(QWidget* form) {
        auto* pages = Child<QTabWidget>(form, "PageControl");
        return pages->currentWidget() == Child<QWidget>(form, "SelectTabSheet");
    }
    static int SelectedRow(QWidget* form) {
        const auto rows = List(form)->selectionModel()->selectedRows();
        return rows.isEmpty() ? -1 : rows.first().row();
    }
    static void SelectFormat(QWidget* form, const char* name) {
        auto* combo = Child<QComboBox>(form, "TypeComboBox");
        combo->setCurrentIndex(combo->findText(QString::fromLatin1(name)));
    }
    // Types the parameter page; a null format leaves none selected.
    static void FillPage(QWidget* form, const char* name, const char* format,
                         const char* parameters, const char* bounds) {
        Child<QLineEdit>(form, "NameEdit")->setText(QString::fromUtf8(name));
        if (format)
            SelectFormat(form, format);
        else
            Child<QComboBox>(form, "TypeComboBox")->setCurrentIndex(-1);
        Child<QPlainTextEdit>(form, "DatumMemo")->setPlainText(QString::fromUtf8(parameters));
        Child<QLineEdit>(form, "BoundsEdit")->setText(QString::fromUtf8(bounds));
    }

    std::shared_ptr<TShiftProvider> shift = std::make_shared<TShiftProvider>();
    TCoordinateSystemCatalog catalog{{shift, std::make_shared<TListProvider>()}};
    TScriptedInteraction interaction;
};

const QString kLocal = QtText("<Локальная система координат>");

TEST_F(EditorFixture, OptionOneHidesTheLocalSystemAndUndefinedReferences) {
    auto all = Open(0);
    const QStringList withLocal = Captions(all.get());
    ASSERT_EQ(withLocal.size(), 7);
    EXPECT_EQ(withLocal.first(), kLocal);
    EXPECT_TRUE(withLocal.contains(QStringLiteral("Unfinished system")));
    EXPECT_EQ(List(all.get())->model()->headerData(0, Qt::Horizontal).toString(),
              QtText("Название"));

    auto wizard = Open(1);
    const QStringList captions = Captions(wizard.get());
    EXPECT_EQ(captions.size(), 5);
    EXPECT_FALSE(captions.contains(kLocal));
    EXPECT_FALSE(captions.contains(QStringLiteral("Unfinished system")));
    EXPECT_EQ(captions.first(), QStringLiteral("Origin")) << "catalog order";
}

TEST_F(EditorFixture, OpensOnTheListPageOnlyForAReferenceTheListHolds) {
    // Same format, parameters and swap flag as "Abakan local", another caption.
    auto known = Open(1, RefDef("SHIFT", "1 1", false, "Мой Абакан"));
    EXPECT_TRUE(OnListPage(known.get()));
    ASSERT_GE(SelectedRow(known.get()), 0);
    EXPECT_EQ(Captions(known.get())[SelectedRow(known.get())], QStringLiteral("Abakan local"));
    EXPECT_EQ(known->focusWidget(), List(known.get()));

    // The swap flag takes part: the same system with X and Y exchanged is not in the list.
    auto swapped = Open(1, RefDef("SHIFT", "1 1", true, "Abakan local"));
    EXPECT_FALSE(OnListPage(swapped.get()));
    EXPECT_TRUE(Child<QCheckBox>(swapped.get(), "SwitchXY")->isChecked());

    // A wizard's undefined source: no entry matches, the parameter page shows it.
    auto undefined = Open(1, LocalCoordinateReference(LocalCoordinateSystemCaption()));
    EXPECT_FALSE(OnListPage(undefined.get()));
    EXPECT_EQ(SelectedRow(undefined.get()), -1);
    EXPECT_EQ(Child<QLineEdit>(undefined.get(), "NameEdit")->text(), kLocal);
    EXPECT_EQ(Child<QComboBox>(undefined.get(), "TypeComboBox")->currentIndex(), -1);

    // Without option 1 the local entry is offered and matches an undefined reference.
    auto local = Open(0, LocalCoordinateReference(LocalCoordinateSystemCaption()));
    EXPECT_TRUE(OnListPage(local.get()));
    EXPECT_EQ(SelectedRow(local.get()), 0);

    // Option 4: no list page at all, the list is not filled.
    auto zone = Open(4, RefDef("SHIFT", "1 1", false, "Abakan local"));
    auto* pages = Child<QTabWidget>(zone.get(), "PageControl");
    EXPECT_FALSE(pages->isTabVisible(pages->indexOf(Child<QWidget>(zone.get(), "SelectTabSheet"))));
    EXPECT_FALSE(OnListPage(zone.get()));
    EXPECT_EQ(List(zone.get())->model()->rowCount(), 0);
}

TEST_F(EditorFixture, ShowsAReferenceOnTheParameterPage) {
    TCoordinateReferenceDef def = RefDef("shift", "5 6", false, "Участок");
    def.SetBoundingBoxText("10 20 0 5");
    auto form = Open(8, def);
    EXPECT_FALSE(OnListPage(form.get()));
    EXPECT_EQ(Child<QLineEdit>(form.get(), "NameEdit")->text(), QtText("Участок"));
    EXPECT_EQ(Child<QComboBox>(form.get(), "TypeComboBox")->currentText(), QStringLiteral("SHIFT"))
        << "the format is found ignoring letter case";
    EXPECT_EQ(Child<QPlainTextEdit>(form.get(), "DatumMemo")->toPlainText(), QStringLiteral("5 6"));
    EXPECT_EQ(Child<QLineEdit>(form.get(), "BoundsEdit")->text(), QStringLiteral("0 5 10 20"));
    EXPECT_TRUE(Child<QCheckBox>(form.get(), "SwitchXY")->isHidden()) << "option 8";
    EXPECT_EQ(Child<QLineEdit>(form.get(), "FilterEdit")->placeholderText(), QtText("Фильтр"));
}

TEST_F(EditorFixture, FormatsListSkipsTheExcludedOneAndPrefersPROJ4) {
    auto form = Open(4, {}, "msk");
    auto* combo = Child<QComboBox>(form.get(), "TypeComboBox");
    ASSERT_EQ(combo->count(), 1);
    EXPECT_EQ(combo->itemText(0), QStringLiteral("SHIFT"));
    EXPECT_EQ(combo->currentIndex(), -1) << "no PROJ4 in this catalog, and the blank reference";
}

TEST_F(EditorFixture, ParameterPageChecksInOrder) {
    struct Case {
        const char* name;
        unsigned options;
        const char* button;
        const char *caption, *format, *parameters, *bounds;
        const char* message; // null: accepted
    } cases[] = {
        {"the name is checked before the format", 0, "OkButton", " ", nullptr, "", "",
         "Не задано имя координатной системы"},
        {"then the format", 0, "OkButton", "A", nullptr, "1 1", "",
         "Не задан формат описания параметров координатной системы"},
        {"three numbers are no area", 0, "OkButton", "A", "SHIFT", "1 1", "1 2 3",
         "Неверный формат записи области определения"},
        {"option 2 needs an area", 2, "OkButton", "A", "SHIFT", "1 1", "  ",
         "Не задана область определения системы координат"},
        {"the area is read before the parameters are looked at", 0, "OkButton", "A", "SHIFT", "",
         "x", "Неверный формат записи области определения"},
        {"blank parameters", 0, "OkButton", "A", "SHIFT", "  ", "",
         "Параметры системы координат не заданы"},
        {"blank parameters on Test", 0, "TestButton", "A", "SHIFT", " ", "",
         "Параметры системы координат не заданы"},
        {"the catalog's validation", 0, "OkButton", "A", "SHIFT", "bad", "",
         "Координатная система заданная следующими параметрами \"SHIFT:bad\" не "
         "поддерживается.\r\nОшибка: bad shift"},
        {"option 32 does not excuse a page with a name", 32, "OkButton", "A", nullptr, "", "",
         "Не задан формат описания параметров координатной системы"},
        {"Test of a valid system", 0, "TestButton", "A", "SHIFT", "1 1", "",
         "Система координат задана корректно"},
        {"a valid system", 2, "OkButton", "A", "SHIFT", "1 1", "0 0 1 1", nullptr},
        {"option 32 accepts a blank page", 32, "OkButton", "", nullptr, " ", "", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        interaction.shown.clear();
        auto form = Open(c.options | 4);
        FillPage(form.get(), c.caption, c.format, c.parameters, c.bounds);
        Click(form.get(), c.button);
        if (c.message) {
            ASSERT_EQ(interaction.shown.size(), 1u);
            EXPECT_EQ(interaction.shown[0].text, Ansi(c.message));
            EXPECT_TRUE(form->isVisible()) << "the dialog stays open";
            EXPECT_NE(form->result(), QDialog::Accepted);
            EXPECT_EQ(Child<QLineEdit>(form.get(), "BoundsEdit")->text(),
                      QString::fromUtf8(c.bounds))
                << "content unchanged";
        } else {
            EXPECT_TRUE(interaction.shown.empty()) << interaction.Texts()[0];
            EXPECT_EQ(form->result(), QDialog::Accepted);
        }
    }
}

TEST_F(EditorFixture, OkReturnsThePageOrTheSelectedEntry) {
    auto page = Open(0);
    Child<QTabWidget>(page.get(), "PageControl")->setCurrentIndex(1);
    FillPage(page.get(), "  Участок  ", "SHIFT", " 3 4\n", "10 20 0 5");
    Child<QCheckBox>(page.get(), "SwitchXY")->setChecked(true);
    Click(page.get(), "OkButton");
    ASSERT_EQ(page->result(), QDialog::Accepted);
    const TCoordinateReferenceDef& def = page->Reference();
    EXPECT_EQ(def.Caption, Ansi("Участок"));
    EXPECT_EQ(def.Format, "SHIFT");
    EXPECT_EQ(def.Parameters, "3 4");
    EXPECT_TRUE(def.SwitchXY);
    ASSERT_TRUE(def.HasBoundingBox);
    EXPECT_EQ(BoundingBoxText(def.BoundingBox), "0 5 10 20");

    // The list page without a selection refuses; a double click on an entry confirms it.
    auto list = Open(1);
    ASSERT_FALSE(OnListPage(list.get())) << "an undefined reference opens the parameter page";
    Child<QTabWidget>(list.get(), "PageControl")->setCurrentIndex(0);
    Click(list.get(), "OkButton");
    EXPECT_EQ(interaction.Texts(), std::vector<AnsiString>{Ansi("Не выбрана система координат")});
    EXPECT_NE(list->result(), QDialog::Accepted);
    QTreeView* view = List(list.get());
    const QModelIndex labrador = view->model()->index(3, 0);
    ASSERT_EQ(labrador.data().toString(), QStringLiteral("Labrador grid"));
    const QPoint at = view->visualRect(labrador).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
    ASSERT_EQ(list->result(), QDialog::Accepted);
    EXPECT_EQ(list->Reference().Caption, "Labrador grid");
    EXPECT_EQ(list->Reference().Parameters, "2 2");

    // The local entry gives the local reference.
    auto local = Open(0, LocalCoordinateReference(LocalCoordinateSystemCaption()));
    Click(local.get(), "OkButton");
    ASSERT_EQ(local->result(), QDialog::Accepted);
    EXPECT_TRUE(local->Reference().IsUndefined());
    EXPECT_EQ(local->Reference().Caption, LocalCoordinateSystemCaption());
}

TEST_F(EditorFixture, FilterRefillsTheListOnce200msAfterTheFirstKeyOfABurst) {
    auto form = Open(1);
    auto* filter = Child<QLineEdit>(form.get(), "FilterEdit");
    filter->setFocus();
    QSignalSpy resets(List(form.get())->model(), &QAbstractItemModel::modelReset);
    QElapsedTimer clock;
    clock.start();
    QTest::keyClick(filter, Qt::Key_A);
    QTest::qWait(150);
    EXPECT_EQ(resets.size(), 0) << "nothing before the delay";
    EXPECT_EQ(Captions(form.get()).size(), 5);
    QTest::keyClick(filter, Qt::Key_B); // inside the burst: does not restart the delay
    ASSERT_TRUE(resets.wait(1000));
    const qint64 elapsed = clock.elapsed();
    EXPECT_GE(elapsed, 195);
    EXPECT_LT(elapsed, 340) << "counted from the first key, not the last (that would be 350)";
    EXPECT_EQ(resets.size(), 1);
    // "ab" at a word start: Abakan, not Labrador.
    EXPECT_EQ(Captions(form.get()), QStringList{QStringLiteral("Abakan local")});

    // Several words, each at some word start, in any letter case.
    filter->setText(QStringLiteral("ZONE gau"));
    form->ApplyFilter();
    EXPECT_EQ(Captions(form.get()),
              QStringList{QStringLiteral("Pulkovo 1942 / Gauss-Kruger zone 7")});
    EXPECT_FALSE(form->FilterEvent().IsPending());

    // The local entry is never filtered out.
    auto withLocal = Open(0);
    Child<QLineEdit>(withLocal.get(), "FilterEdit")->setText(QStringLiteral("utm"));
    withLocal->ApplyFilter();
    EXPECT_EQ(Captions(withLocal.get()),
              (QStringList{kLocal, QStringLiteral("WGS 84 / UTM zone 37N")}));
}

TEST_F(EditorFixture, NavigationKeysInTheFilterMoveTheList) {
    auto form = Open(1);
    Child<QTabWidget>(form.get(), "PageControl")->setCurrentIndex(0);
    // Active, as for the user: an inactive window lets the list take the focus.
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    auto* filter = Child<QLineEdit>(form.get(), "FilterEdit");
    filter->setFocus();
    QTest::keyClicks(filter, QStringLiteral("z"));
    filter->setCursorPosition(1);
    QTest::keyClick(filter, Qt::Key_Down);
    EXPECT_EQ(SelectedRow(form.get()), 0);
    QTest::keyClick(filter, Qt::Key_End);
    EXPECT_EQ(SelectedRow(form.get()), 4);
    QTest::keyClick(filter, Qt::Key_Up);
    EXPECT_EQ(SelectedRow(form.get()), 3);
    QTest::keyClick(filter, Qt::Key_Home);
    EXPECT_EQ(SelectedRow(form.get()), 0);
    EXPECT_EQ(filter->cursorPosition(), 1) << "Home went to the list, not the field";
    EXPECT_EQ(filter->text(), QStringLiteral("z"));
    EXPECT_TRUE(filter->hasFocus()) << "the focus stays in the filter";

    // After the refill the chosen entry stays chosen while the filter still shows it.
    QTest::keyClick(filter, Qt::Key_Down); // "Pulkovo ... zone 7" with the full list
    form->ApplyFilter();                   // "z": only the two zone systems remain
    ASSERT_EQ(Captions(form.get()).size(), 2);
    EXPECT_EQ(Captions(form.get())[SelectedRow(form.get())],
              QStringLiteral("Pulkovo 1942 / Gauss-Kruger zone 7"));
}

TEST_F(EditorFixture, ClipboardLineRoundTripsAndBadTextIsRefused) {
    auto form = Open(4);
    FillPage(form.get(), "Зона \"А\"", "SHIFT", "1 2", "0 0 100 50");
    Click(form.get(), "CopyToBufferButton");
    EXPECT_EQ(FromQString(QString::fromStdU16String(TClipboard::GetText())),
              Ansi("\"Зона \"\"А\"\"\", \"SHIFT\", \"1 2\", \"0 0 100 50\""));

    FillPage(form.get(), "", nullptr, "", "");
    Click(form.get(), "CopyFromBufferButton");
    EXPECT_TRUE(interaction.shown.empty());
    EXPECT_EQ(Child<QLineEdit>(form.get(), "NameEdit")->text(), QtText("Зона \"А\""));
    EXPECT_EQ(Child<QComboBox>(form.get(), "TypeComboBox")->currentText(), QStringLiteral("SHIFT"));
    EXPECT_EQ(Child<QPlainTextEdit>(form.get(), "DatumMemo")->toPlainText(), QStringLiteral("1 2"));
    EXPECT_EQ(Child<QLineEdit>(form.get(), "BoundsEdit")->text(), QStringLiteral("0 0 100 50"));
    EXPECT_EQ(form->Reference().Caption, Ansi("Зона \"А\""))
        << "paste changes the current reference";

    // Copy reads the page with its checks.
    FillPage(form.get(), "", "SHIFT", "1 2", "");
    Click(form.get(), "CopyToBufferButton");
    EXPECT_EQ(interaction.Texts().back(), Ansi("Не задано имя координатной системы"));

    struct Case {
        const char16_t* clipboard;
        const char* message;
    } cases[] = {
        {u"   ", "Буфер обмена не содержит данных"},
        {u"\"a\", \"b\"", "Возможно буфер не содержит данных по системе координат"},
    };
    for (const Case& c : cases) {
        interaction.shown.clear();
        FillPage(form.get(), "Kept", "SHIFT", "7 7", "");
        TClipboard::SetText(c.clipboard);
        Click(form.get(), "CopyFromBufferButton");
        EXPECT_EQ(interaction.Texts(), std::vector<AnsiString>{Ansi(c.message)});
        EXPECT_EQ(Child<QLineEdit>(form.get(), "NameEdit")->text(), QStringLiteral("Kept"));
    }
}

TEST_F(EditorFixture, ConstructorButtonFollowsTheSelectedFormat) {
    auto editor = std::make_shared<TRecordingEditor>();
    RegisterCoordinateSystemCustomEditor("msk", editor);
    auto form = Open(4);
    auto* construct = Child<QPushButton>(form.get(), "CustomEditButton");
    EXPECT_EQ(construct->text(), QtText("Конструирование"));

    SelectFormat(form.get(), "MSK");
    EXPECT_FALSE(construct->isHidden()) << "registered for msk, found for MSK";
    SelectFormat(form.get(), "SHIFT");
    EXPECT_TRUE(construct->isHidden());

    // Construct hands over the page as it stands and shows what the editor returns.
    FillPage(form.get(), "Город", "MSK", "", "1 2 3 4");
    Child<QCheckBox>(form.get(), "SwitchXY")->setChecked(true);
    editor->answer = RefDef("MSK", "{\"Zones\": []}", false, "Город-2");
    Click(form.get(), "CustomEditButton");
    ASSERT_EQ(editor->calls, 1);
    EXPECT_EQ(editor->owner, form.get());
    EXPECT_EQ(editor->received.Caption, Ansi("Город"));
    EXPECT_EQ(editor->received.Format, "MSK");
    EXPECT_TRUE(editor->received.SwitchXY);
    EXPECT_TRUE(editor->received.HasBoundingBox);
    EXPECT_EQ(Child<QLineEdit>(form.get(), "NameEdit")->text(), QtText("Город-2"));
    EXPECT_EQ(Child<QPlainTextEdit>(form.get(), "DatumMemo")->toPlainText(),
              QStringLiteral("{\"Zones\": []}"));
    EXPECT_EQ(form->Reference().Caption, Ansi("Город-2"));

    // "Очистить" empties the parameters and the format, and with it the constructor goes.
    Click(form.get(), "ClearButton");
    EXPECT_EQ(Child<QComboBox>(form.get(), "TypeComboBox")->currentIndex(), -1);
    EXPECT_TRUE(Child<QPlainTextEdit>(form.get(), "DatumMemo")->toPlainText().isEmpty());
    EXPECT_TRUE(construct->isHidden());

    // Option 64: never, whatever the format.
    auto zone = Open(4 | 64, RefDef("MSK", "", false, "Город"));
    auto* hidden = Child<QPushButton>(zone.get(), "CustomEditButton");
    EXPECT_TRUE(hidden->isHidden());
    EXPECT_FALSE(hidden->isEnabled());
}

TEST_F(EditorFixture, DescriptionAndBoundsClear) {
    auto form = Open(4, RefDef("MSK", "", false, "Город"));
    Click(form.get(), "FormatDescriptionButton");
    EXPECT_EQ(interaction.Texts(),
              std::vector<AnsiString>{Ansi("Формат описывающий параметры систем координат МСК, в "
                                           "котором можно задать параметры проекций для каждой из "
                                           "зон МСК")});
    Child<QLineEdit>(form.get(), "BoundsEdit")->setText(QStringLiteral("1 2 3 4"));
    Click(form.get(), "BoundsClearButton");
    EXPECT_TRUE(Child<QLineEdit>(form.get(), "BoundsEdit")->text().isEmpty());
}

TEST_F(EditorFixture, EditCoordinateSystemReplacesTheReferenceOnlyOnOk) {
    TCoordinateReferenceDef reference = RefDef("SHIFT", "9 9", false, "Before");
    WhenShown("CoordinateSystemEditorForm", [](QWidget* form) { Click(form, "CancelButton"); });
    EXPECT_FALSE(EditCoordinateSystem(nullptr, catalog, 1, reference));
    EXPECT_EQ(reference.Caption, "Before");

    WhenShown("CoordinateSystemEditorForm", [](QWidget* form) {
        Child<QLineEdit>(form, "NameEdit")->setText(QStringLiteral("After"));
        Click(form, "OkButton");
    });
    EXPECT_TRUE(EditCoordinateSystem(nullptr, catalog, 1, reference));
    EXPECT_EQ(reference.Caption, "After");
    EXPECT_EQ(reference.Parameters, "9 9");
}

} // namespace
