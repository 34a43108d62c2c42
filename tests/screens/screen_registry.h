// The dialogs that the screens tool renders: each subsystem registers makers that build a
// dialog with realistic content, set up but not shown.
#pragma once

#include <QWidget>

#include <functional>
#include <memory>
#include <string>
#include <vector>

// What makers share: the folder with the demo project, the built binaries and the sources.
struct TScreenContext {
    std::string sourceDir;
    std::string binDir;
    // A scratch folder the tool owns for the run (projects, sample files).
    std::string workDir;
};

struct TScreen {
    // The picture's file name without extension, e.g. "coordinate-system-editor-list".
    std::string name;
    // Builds the widget; the tool shows it, lets it lay out, saves it and deletes it.
    std::function<std::unique_ptr<QWidget>(const TScreenContext&)> make;
};

// Registration from a maker file: `static const bool registered = RegisterScreens({...});`
bool RegisterScreens(std::vector<TScreen> screens);
const std::vector<TScreen>& RegisteredScreens();
