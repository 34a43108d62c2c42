#include "sdr/gui/memo_lines.h"

#include <QPlainTextEdit>
#include <gtest/gtest.h>

#include <string>

namespace {

// A file's point lines beyond the first kShownLines give one line with their count; the log's
// lines around them and the next file's first lines are shown.
TEST(MemoLinesTest, ShowsTheFirstLinesOfEachUpdateAndCountsTheRest) {
    QPlainTextEdit memo;
    TMemoLines lines(memo);
    const auto file = [&](const std::string& name, int points) {
        lines.Add(Ansi("Файл ") + name);
        lines.BeginUpdate();
        lines.BeginUpdate(); // updates nest
        for (int i = 0; i < points; ++i)
            lines.Add(std::to_string(i));
        lines.EndUpdate();
        lines.EndUpdate();
        lines.Add(Ansi("Прочитано точек: ") + std::to_string(points));
    };
    file("a", static_cast<int>(TMemoLines::kShownLines) + 3);
    file("b", 2);

    const QStringList shown = memo.toPlainText().split(QLatin1Char('\n'));
    const qsizetype n = TMemoLines::kShownLines;
    ASSERT_EQ(shown.size(), n + 7);
    EXPECT_EQ(shown[0], QtText("Файл a"));
    EXPECT_EQ(shown[1], QStringLiteral("0"));
    EXPECT_EQ(shown[n], QString::number(n - 1));
    EXPECT_EQ(shown[n + 1], QtText("… не показано строк: 3"));
    EXPECT_EQ(shown[n + 2], QtText("Прочитано точек: ") + QString::number(n + 3));
    EXPECT_EQ(shown.mid(n + 3), (QStringList{QtText("Файл b"), QStringLiteral("0"),
                                             QStringLiteral("1"), QtText("Прочитано точек: 2")}));

    lines.Clear();
    EXPECT_TRUE(memo.toPlainText().isEmpty());
}

} // namespace
