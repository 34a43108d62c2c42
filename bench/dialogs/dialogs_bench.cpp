// dialogs_bench BIN_DIR: opens the coordinate system editor over every predefined system of the
// KavroGdal found under BIN_DIR and times each filter step as the user meets it: the key typed
// into the filter, the list refilled (what the delayed event does once it fires) and the list
// repainted. Words of 1, 2 and 5 letters are typed letter by letter from an empty filter, and
// the filter is emptied again between words (the refill of the whole list). Each step is the
// median of several rounds; the last line gives the worst step.
#include "coords/coordinate_system_library.h"
#include "coords/gui/coordinate_system_editor.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>
#include <QTreeView>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kRounds = 7;

double Milliseconds(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: dialogs_bench BIN_DIR\n");
        return 2;
    }
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    try {
        auto provider = CreateGDALProvider(argv[1]);
        if (!provider) {
            std::fprintf(stderr, "dialogs_bench: KavroGdal not found under %s\n", argv[1]);
            return 1;
        }
        TCoordinateSystemCatalog catalog({provider});
        catalog.Reload();

        TCoordinateSystemEditorForm form(nullptr);
        TCoordinateSystemEditorConfiguration configuration;
        configuration.Options = TCoordinateSystemEditorConfiguration::kHideUndefined;
        auto start = std::chrono::steady_clock::now();
        form.Setup(catalog, configuration,
                   LocalCoordinateReference(LocalCoordinateSystemCaption()));
        const double setupMs = Milliseconds(start);
        form.findChild<QTabWidget*>(QStringLiteral("PageControl"))->setCurrentIndex(0);
        form.show();
        if (!QTest::qWaitForWindowExposed(&form))
            std::fprintf(stderr, "dialogs_bench: the window was not exposed\n");
        auto* filter = form.findChild<QLineEdit*>(QStringLiteral("FilterEdit"));
        auto* view = form.findChild<QTreeView*>(QStringLiteral("ListView"));
        filter->setFocus();
        const int fullCount = view->model()->rowCount();

        // One step: the key, the refill and a synchronous repaint of the list.
        auto step = [&](auto typeKey) {
            const auto begin = std::chrono::steady_clock::now();
            typeKey();
            form.ApplyFilter();
            view->viewport()->repaint();
            QApplication::processEvents();
            return Milliseconds(begin);
        };

        const std::vector<std::string> words = {"W", "UT", "Pulko"};
        struct TStep {
            std::string label;
            std::vector<double> times;
            int rows = 0;
        };
        std::vector<TStep> steps;
        for (int round = 0; round < kRounds; ++round) {
            size_t index = 0;
            auto record = [&](const std::string& label, double ms) {
                if (steps.size() <= index)
                    steps.push_back({label, {}, 0});
                steps[index].times.push_back(ms);
                steps[index].rows = view->model()->rowCount();
                ++index;
            };
            for (const std::string& word : words) {
                for (size_t i = 0; i < word.size(); ++i) {
                    const char letter = word[i];
                    const double ms =
                        step([&] { QTest::keyClicks(filter, QString(QChar::fromLatin1(letter))); });
                    record("'" + word.substr(0, i + 1) + "'", ms);
                }
                const double ms = step([&] {
                    filter->selectAll();
                    QTest::keyClick(filter, Qt::Key_Backspace);
                });
                record("cleared after '" + word + "'", ms);
            }
        }

        double worst = 0;
        std::string worstLabel;
        std::printf("dialogs: %d predefined systems listed, set-up %.1f ms; filter steps (median "
                    "of %d rounds):\n",
                    fullCount, setupMs, kRounds);
        for (const TStep& s : steps) {
            const double median = Median(s.times);
            std::printf("dialogs:   %-20s %5d rows %7.2f ms (max %.2f)\n", s.label.c_str(), s.rows,
                        median, *std::max_element(s.times.begin(), s.times.end()));
            if (median > worst) {
                worst = median;
                worstLabel = s.label;
            }
        }
        std::printf("dialogs: worst step %s\n", worstLabel.c_str());
        std::printf("dialogs: filter_ms=%.2f\n", worst);
        return worst < 100 ? 0 : 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "dialogs_bench: %s\n", AnsiToUtf8(ExceptionMessage(e)).c_str());
        return 1;
    }
}
