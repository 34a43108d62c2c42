#include "cli.h"
#include "main_window.h"

#include <QApplication>
#include <QTimer>

#include <charconv>
#include <iostream>
#include <optional>

namespace kavrohost {

int RunGui(int argc, char** argv, const std::vector<std::string>& args) {
    std::optional<std::string> project;
    int quitAfterMs = -1;
    std::optional<std::string> screenshot;
    for (std::size_t i = 2; i < args.size(); ++i) {
        if (args[i] == "--quit-after-ms") {
            const std::string* value = i + 1 < args.size() ? &args[++i] : nullptr;
            if (!value ||
                std::from_chars(value->data(), value->data() + value->size(), quitAfterMs).ec !=
                    std::errc() ||
                quitAfterMs < 0) {
                std::cerr << "kavro-host: --quit-after-ms needs a number\n" << UsageText();
                return 2;
            }
        } else if (args[i] == "--screenshot") {
            if (i + 1 >= args.size()) {
                std::cerr << "kavro-host: --screenshot needs a file\n" << UsageText();
                return 2;
            }
            screenshot = args[++i];
        } else if (args[i].rfind("--", 0) == 0 || project) {
            std::cerr << "kavro-host: unexpected argument " << args[i] << "\n" << UsageText();
            return 2;
        } else {
            project = args[i];
        }
    }
    QApplication app(argc, argv);
    TMainWindow window;
    window.show();
    if (project && !window.OpenProject(*project))
        return 1;
    if (quitAfterMs >= 0)
        QTimer::singleShot(quitAfterMs, &app, [&] {
            // The window as it looks, for checks without a display.
            if (screenshot && !window.grab().save(QString::fromStdString(*screenshot)))
                std::cerr << "kavro-host: cannot write " << *screenshot << "\n";
            app.quit();
        });
    return app.exec();
}

} // namespace kavrohost
