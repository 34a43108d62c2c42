// The affine chain: matrix composition, the text form, descriptions and change notification.
#include "coords/transform_data.h"
#include "platform/locale.h"

#include <gtest/gtest.h>

#include <limits>
#include <numbers>

namespace {
constexpr double kPi = std::numbers::pi;

struct TDecimalSeparatorScope {
    explicit TDecimalSeparatorScope(char c) : m_old(DecimalSeparator()) { SetDecimalSeparator(c); }
    ~TDecimalSeparatorScope() { SetDecimalSeparator(m_old); }
    char m_old;
};

std::pair<double, double> Map(const TTransformData& chain, double x, double y) {
    return chain.Matrix().Transform(x, y);
}
} // namespace

TEST(TransformMatrix, StepsActInChainOrder) {
    struct Case {
        const char* name;
        std::vector<std::function<std::unique_ptr<TTransformItem>()>> items;
        double x, y, expectedX, expectedY;
    } cases[] = {
        {"empty chain is identity", {}, 3.25, -7.5, 3.25, -7.5},
        {"translate then rotate",
         {[] { return std::make_unique<TTransformTranslationItem>(10, 0); },
          [] { return std::make_unique<TTransformRotationItem>(kPi / 2); }},
         0,
         0,
         0,
         10},
        {"rotate then translate",
         {[] { return std::make_unique<TTransformRotationItem>(kPi / 2); },
          [] { return std::make_unique<TTransformTranslationItem>(10, 0); }},
         0,
         0,
         10,
         0},
        {"shear X enters y",
         {[] { return std::make_unique<TTransformShearItem>(0.5, 0); }},
         2,
         0,
         2,
         1},
        {"shear Y enters x",
         {[] { return std::make_unique<TTransformShearItem>(0, 0.5); }},
         0,
         2,
         1,
         2},
        {"scaling by zero is applied, not rejected",
         {[] { return std::make_unique<TTransformScalingItem>(0, 2); }},
         5,
         5,
         0,
         10},
        {"rotation is counter-clockwise",
         {[] { return std::make_unique<TTransformRotationItem>(kPi / 2); }},
         1,
         0,
         0,
         1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TTransformData chain;
        for (const auto& make : c.items)
            chain.Add(make());
        auto [x, y] = Map(chain, c.x, c.y);
        EXPECT_NEAR(x, c.expectedX, 1e-12);
        EXPECT_NEAR(y, c.expectedY, 1e-12);
    }
}

TEST(TransformMatrix, ComposeKeepsExtendedPrecision) {
    // Ten translations by 0.1 sum in long double: closer to 1 than a double sum (which is off by
    // one unit in the last place).
    TTransformData chain;
    for (int i = 0; i < 10; ++i)
        chain.Add(std::make_unique<TTransformTranslationItem>(0.1, 0));
    const TTransformMatrix m = chain.Matrix();
    EXPECT_NEAR(static_cast<double>(m.tx), 1.0, 1e-15);
    static_assert(sizeof(m.tx) == sizeof(long double));
}

TEST(TransformData, TextFormRoundTrip) {
    TTransformData chain;
    chain.Add(std::make_unique<TTransformTranslationItem>(100, 200.5));
    chain.Add(std::make_unique<TTransformRotationItem>(kPi / 2));
    EXPECT_EQ(chain.SaveToText(), "<T(100 200.5)R(1.5707963267949)>");

    chain.Add(std::make_unique<TTransformScalingItem>(1e-20, 123456789012345678.0));
    chain.Add(std::make_unique<TTransformShearItem>(-0.25, 3));
    TTransformData copy;
    copy.LoadFromText(chain.SaveToText());
    ASSERT_EQ(copy.Count(), 4);
    EXPECT_EQ(copy.SaveToText(), chain.SaveToText());
    EXPECT_STREQ(copy.Get(3).TypeWord(), "Shear");

    TTransformData empty;
    EXPECT_EQ(empty.SaveToText(), "<>");
    copy.LoadFromText("<>");
    EXPECT_EQ(copy.Count(), 0);
}

TEST(TransformData, TextFormWithCommaSeparator) {
    TDecimalSeparatorScope comma(',');
    TTransformData chain;
    chain.Add(std::make_unique<TTransformTranslationItem>(1.5, 2.5));
    EXPECT_EQ(chain.SaveToText(), "<T(1,5 2,5)>");
    TDecimalSeparatorScope point('.');
    TTransformData read;
    read.LoadFromText("<T(1,5 2,5)>");
    auto& item = static_cast<TTransformTranslationItem&>(read.Get(0));
    EXPECT_EQ(item.OffsetX(), 1.5);
    EXPECT_EQ(item.OffsetY(), 2.5);
}

TEST(TransformData, TextFormErrors) {
    struct Case {
        const char* text;
        const char* message; // UTF-8
        int itemsLeft;
    } cases[] = {
        {"<T(1 2)", "Stream read error", 1},
        {"<T(1 2)R(1)S(2 2", "Stream read error", 2},
        {"T(1 2)>", "Ошибка при считывании трансформации. Ожидается \"<\"", 0},
        {"", "Stream read error", 0},
        {"<t(1 2)>", "Внутренняя ошибка: Ошибка конвертации (CreateTransformItemByType)", 0},
        {"<S(2)>", "'' is not a valid floating point value", 0},
        {"<T(1 x)>", "'x' is not a valid floating point value", 0},
        {"<R(1)T(1 2 3)>", "'2 3' is not a valid floating point value", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        TTransformData chain;
        chain.Add(std::make_unique<TTransformScalingItem>());
        try {
            chain.LoadFromText(c.text);
            ADD_FAILURE() << "no error";
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), Ansi(c.message));
        }
        EXPECT_EQ(chain.Count(), c.itemsLeft);
    }
}

TEST(TransformData, Descriptions) {
    struct Case {
        std::unique_ptr<TTransformItem> item;
        const char* expected;
    };
    Case cases[] = {
        {std::make_unique<TTransformTranslationItem>(1, -2.345),
         "Смещение: по X = 1.00; по Y = -2.35"},
        {std::make_unique<TTransformScalingItem>(), "Увел./Сжатие: по X = 1.00; по Y = 1.00"},
        {std::make_unique<TTransformShearItem>(0.5, 0), "Сдвиг: по X = 0.50; по Y = 0.00"},
        {std::make_unique<TTransformRotationItem>(-kPi / 2), "Поворот: Угол = 270°"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.item->GetDescription(), Ansi(c.expected));
}

TEST(FormatAngleDMS, Cases) {
    struct Case {
        double degrees;
        const char* expected;
    } cases[] = {
        {45, "45°"},
        {30.5, "30°30'"},
        {10 + 15.0 / 3600, "10°00'15\""},
        {-90, "270°"},
        {-450, "270°"},
        {359 + 59.0 / 60 + 59.9 / 3600, "0°"}, // the seconds carry into minutes and degrees
        {0, "0°"},
        {12 + 3.0 / 60 + 4.0 / 3600, "12°03'04\""},
        {360.0 * 1e9 + 90, "90°"}, // whole turns far beyond the integer range
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.degrees);
        EXPECT_EQ(FormatAngleDMS(c.degrees * kPi / 180), Ansi(c.expected));
    }
    EXPECT_EQ(FormatAngleDMS(std::numeric_limits<double>::quiet_NaN()), Ansi("0°"));
}

TEST(TransformData, ChangeNotification) {
    TTransformData chain;
    int fired = 0;
    chain.SetOnChange([&](TTransformData&) { ++fired; });

    chain.Clear();
    EXPECT_EQ(fired, 0) << "clearing an empty chain is no change";

    chain.Add(std::make_unique<TTransformTranslationItem>());
    chain.Add(std::make_unique<TTransformRotationItem>());
    EXPECT_EQ(fired, 2);

    fired = 0;
    static_cast<TTransformRotationItem&>(chain.Get(1)).SetAngle(1);
    EXPECT_EQ(fired, 1) << "an owned item's setter reports to its chain";

    fired = 0;
    chain.Clear();
    EXPECT_EQ(fired, 1);

    TTransformData source;
    source.Add(std::make_unique<TTransformScalingItem>(2, 3));
    source.Add(std::make_unique<TTransformShearItem>(1, 0));
    fired = 0;
    chain.Assign(source);
    EXPECT_EQ(fired, 1);
    EXPECT_EQ(chain.SaveToText(), source.SaveToText());
    EXPECT_NE(&chain.Get(0), &source.Get(0)) << "Assign clones";

    fired = 0;
    chain.Exchange(1, 1);
    EXPECT_EQ(fired, 0);
    chain.Exchange(0, 1);
    EXPECT_EQ(fired, 1);
    EXPECT_STREQ(chain.Get(0).TypeWord(), "Shear");

    // A change made early in an outer bracket is still reported when a nested bracket follows.
    fired = 0;
    chain.BeginUpdate();
    chain.Delete(0);
    chain.Clear();
    chain.BeginUpdate();
    chain.EndUpdate();
    EXPECT_EQ(fired, 0);
    chain.EndUpdate();
    EXPECT_EQ(fired, 1);

    fired = 0;
    TTransformScalingItem standalone;
    standalone.SetScaleX(5); // no owner: nothing to notify
    EXPECT_EQ(fired, 0);
}

TEST(TransformData, ClipboardBlockLayout) {
    TTransformData chain;
    chain.Add(std::make_unique<TTransformTranslationItem>(1, 2));
    const std::string block = EncodeTransformClipboardBlock(chain);
    ASSERT_EQ(block.size(), 4u + 8u);
    EXPECT_EQ(block.substr(0, 4), std::string("\x08\0\0\0", 4));
    EXPECT_EQ(block.substr(4), "<T(1 2)>");

    TTransformData target;
    target.Add(std::make_unique<TTransformRotationItem>(1));
    DecodeTransformClipboardBlock(block, target);
    EXPECT_EQ(target.SaveToText(), "<T(1 2)>") << "pasting replaces the items";

    // A broken block leaves the target as it was.
    std::string broken = block;
    broken[4 + 1] = 'x';
    EXPECT_THROW(DecodeTransformClipboardBlock(broken, target), Exception);
    EXPECT_THROW(DecodeTransformClipboardBlock(block.substr(0, 6), target), Exception);
    EXPECT_EQ(target.SaveToText(), "<T(1 2)>");
}

TEST(MatrixSummary, Lines) {
    EXPECT_FALSE(MatrixSummary(TTransformMatrix{0, 0, 1, 1, 0, 0}, '.').has_value());

    TTransformData chain;
    chain.Add(std::make_unique<TTransformRotationItem>(0.5));
    chain.Add(std::make_unique<TTransformTranslationItem>(10, -20));
    EXPECT_EQ(MatrixSummary(chain.Matrix(), '.'),
              "Rotate Angle=0.5 Rad\r\nScaling X=1 Y=1\r\nTranslate X=10 Y=-20");

    TTransformData scale;
    scale.Add(std::make_unique<TTransformScalingItem>(2.5, 2));
    scale.Add(std::make_unique<TTransformShearItem>(0.5, 0));
    EXPECT_EQ(MatrixSummary(scale.Matrix(), ','), "Scaling X=2,5 Y=2\r\nShear X=0,5 Y=0");

    // A pure rotation beyond a right angle is recovered in (-pi, pi].
    for (double angle : {2.5, -2.5, kPi}) {
        TTransformData r;
        r.Add(std::make_unique<TTransformRotationItem>(angle));
        const auto summary = MatrixSummary(r.Matrix(), '.');
        ASSERT_TRUE(summary);
        const auto start = summary->find('=') + 1;
        EXPECT_NEAR(std::stod(summary->substr(start, summary->find(' ', start) - start)), angle,
                    1e-12);
    }
}
