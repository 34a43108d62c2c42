// The main of widget tests: one QApplication on the offscreen platform for the whole run, with
// Qt's Russian texts as a Russian host has them; the dialog answers a test leaves waiting end
// with it.
#include "platform/gui/qt_translation.h"
#include "support/modal_driver.h"

#include <QApplication>
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    InstallQtTranslation(app);
    ::testing::InitGoogleTest(&argc, argv);
    struct TAnswersEndWithTheTest : ::testing::EmptyTestEventListener {
        void OnTestEnd(const ::testing::TestInfo&) override { CancelPendingAnswers(); }
    };
    ::testing::UnitTest::GetInstance()->listeners().Append(new TAnswersEndWithTheTest);
    return RUN_ALL_TESTS();
}
