// The zone editor of local zone systems through its real widgets: zones added, edited and
// removed in the nested coordinate system editor come back as the parameter text the MSK
// provider reads and converts with; its registration as the "MSK" constructor.
#include "coords/gui/coordinate_system_editor.h"
#include "coords/gui/msk_editor.h"
#include "fake_provider.h"
#include "platform/gui/qt_text.h"
#include "support/modal_driver.h"
#include "ui/scripted_interaction.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

TCoordinateReferenceDef Zone(const char* caption, const char* parameters, const char* bounds) {
    TCoordinateReferenceDef zone = RefDef("SHIFT", parameters, false, caption);
    zone.SetBoundingBoxText(bounds);
    return zone;
}

AnsiString ZonesText(std::initializer_list<TCoordinateReferenceDef> zones) {
    TMSKCoordinateReference msk;
    for (const auto& zone : zones)
        msk.Zones().push_back(std::make_shared<TCoordinateReference>(zone));
    return msk.ComposeParameters();
}

template <class T> T* Child(QWidget* form, const char* name) {
    T* child = form->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
}

void Click(QWidget* form, const char* button) {
    QTest::mouseClick(Child<QPushButton>(form, button), Qt::LeftButton);
}

// Types a zone into the nested coordinate system editor and confirms it.
void FillZone(QWidget* form, const char* caption, const char* parameters, const char* bounds) {
    Child<QLineEdit>(form, "NameEdit")->setText(QtText(caption));
    auto* combo = Child<QComboBox>(form, "TypeComboBox");
    combo->setCurrentIndex(combo->findText(QStringLiteral("SHIFT")));
    Child<QPlainTextEdit>(form, "DatumMemo")->setPlainText(QString::fromUtf8(parameters));
    Child<QLineEdit>(form, "BoundsEdit")->setText(QString::fromUtf8(bounds));
    Click(form, "OkButton");
}

class ZoneEditorFixture : public ::testing::Test {
protected:
    void SetUp() override { catalog.Reload(); }
    void TearDown() override { FreeCoordinateSystemCustomEditors(); }

    TCSPoint Convert(const TCoordinateReferenceDef& source, TCSPoint point) {
        TFunctionResult result;
        TCoordinateTransformationPtr transformation;
        catalog.BuildTransformation(source, RefDef("SHIFT", "0 0"), result, transformation);
        EXPECT_TRUE(result.Succeeded()) << result.Message;
        AnsiString error;
        if (!transformation || !transformation->TransformPoint(point, error))
            ADD_FAILURE() << error;
        return point;
    }

    TCoordinateSystemCatalog catalog{{std::make_shared<TShiftProvider>()}};
    TScriptedInteraction interaction;
};

TEST_F(ZoneEditorFixture, ZonesEditedInTheDialogAreTheZonesTheProviderConvertsWith) {
    const TCoordinateReferenceDef original =
        RefDef("MSK", ZonesText({Zone("Зона 1", "0 0", "0 0 100 100")}), false, "МСК-Город");
    TMSKCoordinateSystemEditor editor(nullptr, catalog, original);
    editor.show();
    EXPECT_EQ(editor.windowTitle(), QtText("Редактирование параметров координатной системы"));
    auto* zones = Child<QTreeWidget>(&editor, "ZoneListView");
    ASSERT_EQ(zones->topLevelItemCount(), 1);
    EXPECT_EQ(zones->topLevelItem(0)->text(0), QtText("Зона 1"));
    EXPECT_EQ(zones->topLevelItem(0)->text(1), QStringLiteral("SHIFT:0 0"));
    EXPECT_EQ(zones->topLevelItem(0)->text(2), QStringLiteral("0 0 100 100"));

    // Add: the nested editor shows only its parameter page, needs an area and offers no MSK.
    WhenShown("CoordinateSystemEditorForm", [this](QWidget* form) {
        auto* pages = Child<QTabWidget>(form, "PageControl");
        EXPECT_FALSE(pages->isTabVisible(pages->indexOf(Child<QWidget>(form, "SelectTabSheet"))));
        EXPECT_TRUE(Child<QCheckBox>(form, "SwitchXY")->isHidden());
        EXPECT_TRUE(Child<QPushButton>(form, "CustomEditButton")->isHidden());
        EXPECT_EQ(Child<QComboBox>(form, "TypeComboBox")->findText(QStringLiteral("MSK")), -1);
        FillZone(form, "Зона 2", "1000 0", "");
        EXPECT_EQ(interaction.Texts(),
                  std::vector<AnsiString>{Ansi("Не задана область определения системы координат")});
        FillZone(form, "Зона 2", "1000 0", "100 0 200 100");
    });
    Click(&editor, "AddButton");
    ASSERT_EQ(zones->topLevelItemCount(), 2);
    EXPECT_EQ(zones->currentItem(), zones->topLevelItem(1)) << "the new zone is selected";

    // Edit the first zone: it opens with its own values.
    zones->setCurrentItem(zones->topLevelItem(0));
    WhenShown("CoordinateSystemEditorForm", [](QWidget* form) {
        EXPECT_EQ(Child<QLineEdit>(form, "NameEdit")->text(), QtText("Зона 1"));
        EXPECT_EQ(Child<QLineEdit>(form, "BoundsEdit")->text(), QStringLiteral("0 0 100 100"));
        FillZone(form, "Зона 1", "10 10", "0 0 100 100");
    });
    Click(&editor, "EditButton");
    EXPECT_EQ(zones->topLevelItem(0)->text(1), QStringLiteral("SHIFT:10 10"));

    // A third zone, cancelled once, added, then removed again.
    WhenShown("CoordinateSystemEditorForm", [](QWidget* form) { Click(form, "CancelButton"); });
    Click(&editor, "AddButton");
    EXPECT_EQ(zones->topLevelItemCount(), 2);
    WhenShown("CoordinateSystemEditorForm",
              [](QWidget* form) { FillZone(form, "Лишняя", "5 5", "0 0 1 1"); });
    Click(&editor, "AddButton");
    ASSERT_EQ(zones->topLevelItemCount(), 3);
    Click(&editor, "RemoveButton");
    ASSERT_EQ(zones->topLevelItemCount(), 2);
    EXPECT_EQ(zones->topLevelItem(1)->text(0), QtText("Зона 2"));

    interaction.shown.clear();
    Click(&editor, "TestButton");
    EXPECT_EQ(interaction.Texts(),
              std::vector<AnsiString>{Ansi("Система координат задана корректно")});

    Child<QLineEdit>(&editor, "NameEdit")->setText(QtText(" МСК-Город 2 "));
    Click(&editor, "OkButton");
    ASSERT_EQ(editor.result(), QDialog::Accepted);
    const TCoordinateReferenceDef& result = editor.Reference();
    EXPECT_EQ(result.Caption, Ansi("МСК-Город 2"));
    EXPECT_EQ(result.Format, "MSK");

    // What the provider reads back from the parameter text.
    TMSKCoordinateReference read(result);
    read.ReadParameters();
    ASSERT_EQ(read.Zones().size(), 2u);
    EXPECT_EQ(read.Zones()[0]->GetCaption(), Ansi("Зона 1"));
    EXPECT_EQ(read.Zones()[0]->GetParameters(), "10 10");
    EXPECT_EQ(read.Zones()[1]->GetFormat(), "SHIFT");
    EXPECT_EQ(BoundingBoxText(read.Zones()[1]->Def().BoundingBox), "100 0 200 100");
    // Zone 1 is offset by (10, 10), zone 2 by (1000, 0) from the target "0 0"; exact offsets.
    const TCSPoint inFirst = Convert(result, {50, 50, 0});
    EXPECT_DOUBLE_EQ(inFirst.x, 40);
    EXPECT_DOUBLE_EQ(inFirst.y, 40);
    const TCSPoint inSecond = Convert(result, {150, 50, 0});
    EXPECT_DOUBLE_EQ(inSecond.x, -850);
    EXPECT_DOUBLE_EQ(inSecond.y, 50);
}

TEST_F(ZoneEditorFixture, RefusesSystemsThatCannotBeUsed) {
    struct Case {
        const char* name;
        AnsiString parameters;
        const char* message; // the start of it
    } cases[] = {
        {"no zones", "", "Не задано ни одной зоны координатной системы"},
        {"a zone the catalog refuses", ZonesText({Zone("Z", "bad", "0 0 1 1")}),
         "Координатная система заданная следующими параметрами \"MSK:"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TMSKCoordinateSystemEditor editor(nullptr, catalog,
                                          RefDef("MSK", c.parameters, false, "M"));
        editor.show();
        for (const char* button : {"TestButton", "OkButton"}) {
            interaction.shown.clear();
            Click(&editor, button);
            ASSERT_EQ(interaction.shown.size(), 1u) << button;
            EXPECT_EQ(interaction.shown[0].text.rfind(Ansi(c.message), 0), 0u)
                << interaction.shown[0].text;
        }
        EXPECT_TRUE(editor.isVisible());
        EXPECT_NE(editor.result(), QDialog::Accepted);
    }
    TMSKCoordinateSystemEditor empty(nullptr, catalog, RefDef("MSK", "", false, "M"));
    EXPECT_FALSE(Child<QPushButton>(&empty, "EditButton")->isEnabled()) << "no zone to edit";
    EXPECT_FALSE(Child<QPushButton>(&empty, "RemoveButton")->isEnabled());
}

TEST_F(ZoneEditorFixture, RegisteredForMSKAndOpenedByTheConstructorButton) {
    EXPECT_EQ(FindCoordinateSystemCustomEditor("MSK"), nullptr);
    RegisterStandardCoordinateSystemEditors();
    ASSERT_NE(FindCoordinateSystemCustomEditor("msk"), nullptr);

    TCoordinateSystemEditorForm form(nullptr);
    TCoordinateSystemEditorConfiguration configuration;
    configuration.Options = TCoordinateSystemEditorConfiguration::kNoListPage;
    form.Setup(catalog, configuration, RefDef("MSK", "[1, 2]", false, "Город"));
    form.show();
    auto* construct = Child<QPushButton>(&form, "CustomEditButton");
    ASSERT_FALSE(construct->isHidden());

    // Parameters that are no zone list: the zone editor does not open, the message shows.
    QTest::mouseClick(construct, Qt::LeftButton);
    EXPECT_EQ(interaction.Texts(),
              std::vector<AnsiString>{Ansi("Ошибка считывания параметров МСК")});

    Child<QPlainTextEdit>(&form, "DatumMemo")->setPlainText(ToQString(ZonesText({})));
    WhenShown("MSKCoordinateSystemEditor", [](QWidget* editor) {
        EXPECT_EQ(Child<QLineEdit>(editor, "NameEdit")->text(), QtText("Город"));
        // The outer editor has the same name: the zone's editor is the active modal one.
        WhenShown("", [](QWidget* zone) { FillZone(zone, "Центр", "3 4", "-10 -10 10 10"); });
        Click(editor, "AddButton");
        Click(editor, "OkButton");
    });
    QTest::mouseClick(construct, Qt::LeftButton);
    TMSKCoordinateReference shown(form.Reference());
    shown.ReadParameters();
    ASSERT_EQ(shown.Zones().size(), 1u);
    EXPECT_EQ(shown.Zones()[0]->GetCaption(), Ansi("Центр"));
    EXPECT_EQ(FromQString(Child<QPlainTextEdit>(&form, "DatumMemo")->toPlainText()),
              form.Reference().Parameters)
        << "the constructed system is shown on the page";

    FreeCoordinateSystemCustomEditors();
    EXPECT_EQ(FindCoordinateSystemCustomEditor("MSK"), nullptr);
}

} // namespace
