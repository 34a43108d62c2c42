// Driving a module's wizard in tests as its user does: the command run through the module's
// exports, the wizard found among the application's windows, its controls reached by their
// names, file choices and message boxes answered through their Qt widgets; and reading back
// what the project holds.
#pragma once

#include "host/store/object_records.h"
#include "support/modal_driver.h"
#include "support/module_harness.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QStackedWidget>
#include <QTimer>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

inline QString Q(const char* utf8) {
    return QString::fromUtf8(utf8);
}

inline nlohmann::json DemoProject() {
    std::ifstream file(std::filesystem::path(TI_SOURCE_DIR) / "samples" / "demo-project.json");
    return nlohmann::json::parse(file);
}

// --- driving the wizard's controls by their names -------------------------------------------

template <class T = QWidget> T* Find(QWidget* root, const char* name) {
    T* widget = root->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

inline void Click(QWidget* root, const char* name) {
    if (auto* button = Find<QAbstractButton>(root, name))
        button->click();
}

// Chooses an entry as the user does: the selection changes and the list reports the choice.
inline void Choose(QWidget* root, const char* comboName, const QString& text) {
    auto* box = Find<QComboBox>(root, comboName);
    const int index = box->findText(text);
    ASSERT_GE(index, 0) << comboName << ": " << text.toStdString();
    box->setCurrentIndex(index);
    emit box->activated(index);
}

// Answers the next message box with OK; its text lands in the returned string.
inline std::shared_ptr<QString> AnswerMessageBox() {
    auto text = std::make_shared<QString>();
    WhenShown("MessageBox", [text](QWidget* widget) {
        auto* box = static_cast<QMessageBox*>(widget);
        *text = box->text();
        box->accept();
    });
    return text;
}

// Chooses the files in the open-file dialog and confirms it.
inline void AnswerFileDialog(std::vector<std::filesystem::path> files) {
    WhenShown("OpenFileDialog", [files](QWidget* widget) {
        auto* dialog = static_cast<QFileDialog*>(widget);
        dialog->setDirectory(QString::fromStdU16String(files.front().parent_path().u16string()));
        QStringList names;
        for (const auto& file : files)
            names << QStringLiteral("\"%1\"").arg(
                QString::fromStdU16String(file.filename().u16string()));
        dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(names.join(' '));
        QMetaObject::invokeMethod(dialog, "accept");
    });
}

inline int Page(QWidget* wizard) {
    return Find<QStackedWidget>(wizard, "PageControl")->currentIndex();
}

// Runs the command (1 text, 2 PTS, 3 SDR) and drives its wizard, the top-level dialog with the
// object name, once it shows. Whatever the drive leaves open is
// cancelled, and a watchdog closes every dialog of a drive that got stuck, so that a failing
// test never hangs.
inline void RunWizard(TModuleHarness& harness, int command, const char* formName,
                      const std::function<void(QWidget*)>& drive) {
    bool shown = false;
    WhenShown(formName, [&](QWidget* wizard) {
        shown = true;
        drive(wizard);
        if (wizard->isVisible())
            static_cast<QDialog*>(wizard)->reject();
    });
    QTimer watchdog;
    watchdog.setInterval(60000);
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
        ADD_FAILURE() << "the wizard was stuck; closing its dialogs";
        watchdog.setInterval(1000);
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (!window->isVisible())
                continue;
            if (auto* dialog = qobject_cast<QDialog*>(window))
                dialog->reject();
            else if (window->windowFlags() & Qt::Popup)
                window->close();
        }
    });
    watchdog.start();
    EXPECT_EQ(harness.Execute(command), S_OK);
    EXPECT_TRUE(shown) << "the wizard did not show";
}

// --- reading the project ---------------------------------------------------------------------

inline const kavrohost::TValueRecord* Value(const kavrohost::TObjectRecord& object,
                                            const char* field) {
    for (const kavrohost::TValueRecord& value : object.values)
        if (value.field == field)
            return &value;
    return nullptr;
}

inline std::string Describe(const kavrohost::TValueRecord* value) {
    if (!value)
        return "(none)";
    return value->type + ":" + value->text;
}

inline std::vector<kavrohost::TObjectRecord>
ObjectsOf(const std::vector<kavrohost::TObjectRecord>& all, const char* layer) {
    std::vector<kavrohost::TObjectRecord> objects;
    for (const kavrohost::TObjectRecord& object : all)
        if (object.layerId == layer)
            objects.push_back(object);
    return objects;
}
