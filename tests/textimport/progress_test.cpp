#include "textimport/progress.h"

#include "ui/scripted_interaction.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct TFakeBar : IProgressBar {
    int width = 100;
    int minimum = -1, maximum = -1, position = -1;
    bool visible = true;
    std::vector<int> repaints; // the position at every repaint
    int Width() const override { return width; }
    void SetRange(int min, int max) override { minimum = min, maximum = max; }
    void SetPosition(int p) override { position = p; }
    void Repaint() override { repaints.push_back(position); }
    void SetVisible(bool v) override { visible = v; }
};

struct TFakeLabel : IProgressLabel {
    AnsiString text;
    bool visible = true;
    void SetText(const AnsiString& t) override { text = t; }
    void SetVisible(bool v) override { visible = v; }
};

class ProgressTest : public ::testing::Test {
protected:
    TScriptedInteraction m_ui; // installs itself for the test
};

TEST_F(ProgressTest, MovesInPixelsAndRepaintsOncePerPixel) {
    TFakeBar bar;
    TFakeLabel label;
    TProgress progress;
    progress.SetProgressBar(&bar);
    progress.SetProgressLabel(&label);
    progress.StartProgress("Import", 1000);
    EXPECT_EQ(label.text, "Import");
    EXPECT_EQ(bar.minimum, 0);
    EXPECT_EQ(bar.maximum, 100);
    EXPECT_EQ(bar.position, 0);
    const int afterStart = m_ui.processMessagesCalls;
    EXPECT_GE(afterStart, 1);

    for (int i = 0; i < 1000; ++i)
        progress.StepProgress();
    EXPECT_EQ(progress.Position(), 1000);
    EXPECT_EQ(bar.position, 100);
    ASSERT_EQ(bar.repaints.size(), 100u); // one per pixel, not one per step
    EXPECT_EQ(bar.repaints.front(), 1);
    EXPECT_EQ(m_ui.processMessagesCalls - afterStart, 100);

    progress.SetProgressPosition(4); // 0.4 pixel rounds to 0
    EXPECT_EQ(bar.position, 0);
    progress.SetProgressPosition(5); // 0.5 pixel rounds to 1
    EXPECT_EQ(bar.position, 1);
}

TEST_F(ProgressTest, LongTablesDoNotOverflow) {
    TFakeBar bar;
    bar.width = 2000;
    TProgress progress;
    progress.SetProgressBar(&bar);
    progress.StartProgress("", 2'000'000'000);
    progress.SetProgressPosition(1'999'999'999);
    EXPECT_EQ(bar.position, 2000);
}

TEST_F(ProgressTest, WithoutBarOrMaximumOnlyCounts) {
    TProgress progress;
    progress.StartProgress("x", 10);
    progress.StepProgress();
    EXPECT_EQ(progress.Position(), 1);

    TFakeBar bar;
    progress.SetProgressBar(&bar);
    progress.StartProgress("x", 0);
    progress.StepProgress();
    EXPECT_TRUE(bar.repaints.empty());
}

TEST_F(ProgressTest, VisibilityFollowsTheComponent) {
    TFakeBar bar;
    TFakeLabel label;
    TProgress progress;
    progress.SetVisible(false);
    progress.SetProgressBar(&bar);
    progress.SetProgressLabel(&label);
    EXPECT_FALSE(bar.visible);
    EXPECT_FALSE(label.visible);
    progress.SetVisible(true);
    EXPECT_TRUE(bar.visible);
    EXPECT_TRUE(label.visible);

    // A bar attached later takes the scale and the last shown pixel.
    progress.StartProgress("x", 10);
    progress.SetProgressPosition(5);
    TFakeBar other;
    other.width = 7;
    progress.SetProgressBar(&other);
    EXPECT_EQ(other.maximum, 100);
    EXPECT_EQ(other.position, 50);
}

} // namespace
