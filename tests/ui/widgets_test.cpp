// The shared widgets: number and angle fields, id/caption lists, the delayed event, scaling.
#include "platform/gui/qt_text.h"
#include "text/number_text.h"
#include "ui/gui/angle_edit.h"
#include "ui/gui/delayed_event.h"
#include "ui/gui/id_caption_combo.h"
#include "ui/gui/number_edit.h"
#include "ui/gui/screen_scale.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

#include <numbers>

namespace {

constexpr double kPi = std::numbers::pi;

TEST(NumberEdit, ReadsPointOrCommaAndRoundsTheFractionTo14Places) {
    struct Case {
        const char* text;
        double value;
    } cases[] = {
        {"1.5", 1.5},
        {"1,5", 1.5},
        {" -2 ", -2.0},
        {"1e3", 1000.0},
        {"0.123456789012345678", 0.12345678901235},
        {"-7.000000000000004", -7.0},
    };
    TNumberEdit edit;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        edit.setText(QString::fromUtf8(c.text));
        EXPECT_DOUBLE_EQ(edit.Value(), c.value);
    }
}

TEST(NumberEdit, TextThatIsNoNumberFailsWithTheConversionMessage) {
    TNumberEdit edit;
    for (const char* text : {"abc", "", "1.5x", "1 2"}) {
        SCOPED_TRACE(text);
        edit.setText(QString::fromUtf8(text));
        try {
            (void)edit.Value();
            ADD_FAILURE() << "no error";
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(),
                      AnsiString("'") + text + "' is not a valid floating point value");
        }
    }
}

TEST(NumberEdit, ShowsItsValueWithFifteenDigits) {
    TNumberEdit edit;
    edit.SetValue(200.5);
    EXPECT_EQ(edit.text(), QStringLiteral("200.5"));
    edit.SetValue(kPi);
    EXPECT_EQ(edit.text(), QStringLiteral("3.14159265358979"));
}

TEST(AngleEdit, DegreesMinutesSecondsRoundTripAndCarry) {
    struct Case {
        double degrees;
        const char* text;
    } cases[] = {
        {45.0, " 045°00'00.00\""},
        {30.5, " 030°30'00.00\""},
        {-10.0 - 15.0 / 3600, "-010°00'15.00\""},
        // 59.999995" rounds up into the next minute and degree.
        {1.0 + 59.0 / 60 + 59.999995 / 3600, " 002°00'00.00\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(FormatDegreesMinutesSeconds(c.degrees), QString::fromUtf8(c.text));
        EXPECT_NEAR(ParseDegreesMinutesSeconds(QString::fromUtf8(c.text)), c.degrees, 0.01 / 3600);
    }
    // Free places of the mask are blanks: "45°" alone is 45 degrees.
    EXPECT_DOUBLE_EQ(ParseDegreesMinutesSeconds(QString::fromUtf8("_45°__'__.__\"")), 45.0);
}

TEST(AngleEdit, GivesRadiansInEachUnitAndKeepsTheAngleWhenTheUnitChanges) {
    TAngleEdit edit;
    EXPECT_EQ(edit.UnitBox()->count(), 3);
    EXPECT_EQ(edit.UnitBox()->itemText(0), QtText("Градусы"));
    EXPECT_EQ(edit.UnitBox()->itemText(1), QtText("Градусы (дес.)"));
    EXPECT_EQ(edit.UnitBox()->itemText(2), QtText("Радианы"));
    EXPECT_EQ(edit.Unit(), TAngleEdit::TUnit::DegreesMinutesSeconds);

    edit.SetAngle(kPi / 4);
    EXPECT_NEAR(edit.Angle(), kPi / 4, 1e-9);
    edit.UnitBox()->setCurrentIndex(1);
    EXPECT_EQ(edit.TextField()->text(), QStringLiteral("45"));
    EXPECT_NEAR(edit.Angle(), kPi / 4, 1e-15);
    edit.UnitBox()->setCurrentIndex(2);
    EXPECT_EQ(edit.TextField()->text(), QStringLiteral("0.785398163397448"));
    edit.TextField()->setText(QStringLiteral("1,5"));
    EXPECT_DOUBLE_EQ(edit.Angle(), 1.5);
}

TEST(AngleEdit, UnreadableTextFailsWithItsMessage) {
    TAngleEdit edit;
    edit.SetUnit(TAngleEdit::TUnit::DecimalDegrees);
    edit.TextField()->setText(QStringLiteral("x"));
    try {
        (void)edit.Angle();
        ADD_FAILURE() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), Ansi("Введенное значение не является числом"));
    }
    edit.SetUnit(TAngleEdit::TUnit::DegreesMinutesSeconds);
    edit.TextField()->clear();
    EXPECT_THROW((void)edit.Angle(), EConvertError);
}

TEST(IdCaptionComboBox, SortedListsOrderByCaptionAndFindIdentifiers) {
    TIdCaptionComboBox box;
    box.SetSorted(true);
    box.AddItem("L3", Ansi("Реки"));
    box.AddItem("L1", Ansi("Дороги"));
    box.AddItem("L2", Ansi("Здания"));
    ASSERT_EQ(box.count(), 3);
    EXPECT_EQ(box.CaptionAt(0), Ansi("Дороги"));
    EXPECT_EQ(box.CaptionAt(2), Ansi("Реки"));
    EXPECT_EQ(box.IdAt(1), "L2");

    EXPECT_TRUE(box.SelectId("L3"));
    EXPECT_EQ(box.SelectedId(), "L3");
    EXPECT_FALSE(box.SelectId("l3"));
    EXPECT_EQ(box.SelectedId(), "");
    EXPECT_TRUE(box.SelectId("l3", true));

    TIdCaptionComboBox plain;
    plain.AddItem("b", "B");
    plain.AddItem("a", "A");
    EXPECT_EQ(plain.IdAt(0), "b");
}

TEST(DelayedEvent, FiresAfterTheFirstTriggerOfABurstAndIsNotPostponedByLaterOnes) {
    int fired = 0;
    qint64 firstAfter = -1;
    QElapsedTimer clock;
    TDelayedEvent event(200, [&] {
        if (fired++ == 0)
            firstAfter = clock.elapsed();
    });
    // A key every 50 ms for 400 ms: an event that restarted on every trigger would never fire.
    clock.start();
    for (int i = 0; i < 8; ++i) {
        event.Trigger();
        QTest::qWait(50);
    }
    EXPECT_GE(fired, 1);
    EXPECT_GE(firstAfter, 200);

    QTest::qWait(300); // the burst's last event, if one was pending, fires
    const int drained = fired;
    event.Trigger();
    event.Cancel();
    QTest::qWait(250);
    EXPECT_EQ(fired, drained);
    EXPECT_FALSE(event.IsPending());
}

TEST(ScreenScale, NeverScalesDown) {
    EXPECT_GE(ScreenScaleFactor(), 1.0);
    EXPECT_GE(ScreenScaled(72), 72);
    QWidget widget;
    EXPECT_EQ(ScreenScaled(QSize(300, 265), &widget).width(),
              static_cast<int>(std::lround(300 * ScreenScaleFactor(&widget))));
}

} // namespace
