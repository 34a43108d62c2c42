#include "cli.h"
#include "main_window.h"
#include "qt_language.h"
#include "session_player.h"

#include <QApplication>
#include <QTimer>

#include <charconv>
#include <iostream>
#include <memory>
#include <optional>

namespace kavrohost {

int RunGui(int argc, char** argv, const std::vector<std::string>& args) {
    std::optional<std::string> project;
    int quitAfterMs = -1;
    std::optional<std::string> screenshot, play, pictures;
    auto usage = [](const std::string& message) {
        std::cerr << "kavro-host: " << message << "\n" << UsageText();
        return 2;
    };
    for (std::size_t i = 2; i < args.size(); ++i) {
        const std::string* value = i + 1 < args.size() ? &args[i + 1] : nullptr;
        if (args[i] == "--quit-after-ms") {
            if (!value ||
                std::from_chars(value->data(), value->data() + value->size(), quitAfterMs).ec !=
                    std::errc() ||
                quitAfterMs < 0)
                return usage("--quit-after-ms needs a number");
            ++i;
        } else if (args[i] == "--screenshot" || args[i] == "--play" || args[i] == "--pictures") {
            if (!value)
                return usage(args[i] + " needs a file");
            (args[i] == "--screenshot" ? screenshot
             : args[i] == "--play"     ? play
                                       : pictures) = *value;
            ++i;
        } else if (args[i].rfind("--", 0) == 0 || project) {
            return usage("unexpected argument " + args[i]);
        } else {
            project = args[i];
        }
    }
    if (play && !project)
        return usage("--play needs a PROJECT");
    if (play && quitAfterMs >= 0)
        return usage("--play ends by itself: it takes no --quit-after-ms");
    if (pictures && !play)
        return usage("--pictures goes with --play");
    std::optional<TSession> session;
    if (play) {
        try {
            session = LoadSession(*play);
        } catch (const ESessionError& e) {
            std::cerr << "kavro-host: " << *play << ": " << e.what() << "\n";
            return 2;
        }
    }

    QApplication app(argc, argv);
    UseRussianQtTexts(app);
    TMainWindow window;
    window.show();
    // A session or a timed run has no one to answer a message box.
    if (project && !window.OpenProject(*project, !session && quitAfterMs < 0))
        return 1;
    std::unique_ptr<TSessionPlayer> player;
    if (session) {
        player = std::make_unique<TSessionPlayer>(window, std::move(*session),
                                                  pictures ? *pictures : std::string());
        player->Start();
    }
    if (quitAfterMs >= 0)
        QTimer::singleShot(quitAfterMs, &app, [&] {
            // The window as it looks, for checks without a display.
            if (screenshot && !window.grab().save(QString::fromStdString(*screenshot))) {
                std::cerr << "kavro-host: cannot write " << *screenshot << "\n";
                app.exit(1);
                return;
            }
            app.quit();
        });
    return app.exec();
}

} // namespace kavrohost
