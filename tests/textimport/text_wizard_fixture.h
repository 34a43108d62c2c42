// The text import wizard set up on a project of the host stand-in, driven through its controls
// with a scripted interaction service (pick lists, file choices, message boxes).
#pragma once

#include "addon/com_server.h"
#include "addon/sample_addon.h"
#include "host/core/host_session.h"
#include "platform/gui/qt_text.h"
#include "support/temp_dir.h"
#include "textimport/gui/arrow_grid.h"
#include "textimport/gui/text_import_form.h"
#include "ui/scripted_interaction.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QToolButton>
#include <gtest/gtest.h>

#include <memory>

// Two maps; the first with a layer of points (two styles, a table of every field kind) and a
// layer of roads (one style, no table).
inline nlohmann::json WizardProjectDescription() {
    return nlohmann::json::parse(R"json({
      "maps": [
        {"id": "M1", "name": "Карта 1", "layers": [
          {"id": "L1", "name": "Пункты",
           "styles": [{"id": "S1", "name": "Пункт"}, {"id": "S2", "name": "Репер"}],
           "tables": [
             {"id": "T1", "name": "POINTS", "caption": "Пункты", "fields": [
               {"name": "NAME", "type": 10}, {"name": "NUM", "type": 20},
               {"name": "H", "type": 30}, {"name": "DT", "type": 40}]}]},
          {"id": "L2", "name": "Дороги", "styles": [{"id": "S3", "name": "Дорога"}]}]},
        {"id": "M2", "name": "Карта 2", "layers": [
          {"id": "L3", "name": "Планшеты", "styles": [{"id": "S4", "name": "Рамка"}]}]}],
      "activeMap": "M1",
      "activeLayer": "L1"
    })json");
}

class TextWizardTest : public ::testing::Test {
protected:
    void SetUp() override {
        kavrohost::CreateProject(m_file, WizardProjectDescription());
        // A host folder without the coordinate-system library: the catalog has only the
        // module's own systems, which is all these tests need.
        m_session = std::make_unique<kavrohost::THostSession>(m_file, m_dir.Path());
        m_addon = new TSampleAddon; // the module's state owns it
        m_addon->Initialize(m_session->Manager());
    }
    void TearDown() override {
        m_form.reset();
        if (m_addon) {
            m_addon->Finalize();
            UnloadAddonModule();
        }
        m_session.reset();
    }

    void Open() {
        m_form = std::make_unique<TTextImportForm>();
        m_form->Setup(*m_addon);
    }

    template <class T = QWidget> T* Get(const char* name) const {
        T* widget = m_form->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    void Click(const char* name) const { Get<QAbstractButton>(name)->click(); }
    void Next() const { Click("Next"); }
    void Prev() const { Click("Prev"); }
    // Puts UTF-8 text on the clipboard and pastes it into the memo.
    void Paste(const char* utf8) const {
        QApplication::clipboard()->setText(QString::fromUtf8(utf8));
        Click("SrcPaste");
    }
    // Chooses the entry as the user does: the selection changes, then the list reports the
    // choice (also of the entry already selected).
    void Choose(const char* comboName, const char* utf8Text) const {
        auto* box = Get<QComboBox>(comboName);
        const int index = box->findText(QString::fromUtf8(utf8Text));
        ASSERT_GE(index, 0) << comboName << ": " << utf8Text;
        box->setCurrentIndex(index);
        emit box->activated(index);
    }
    QString Current(const char* comboName) const {
        return Get<QComboBox>(comboName)->currentText();
    }
    // The texts of a grid's column, row by row.
    QStringList Column(const char* gridName, int column) const {
        auto* grid = Get<QTableWidget>(gridName);
        QStringList texts;
        for (int row = 0; row < grid->rowCount(); ++row)
            texts << (grid->item(row, column) ? grid->item(row, column)->text() : QString());
        return texts;
    }
    // Picks entry `choice` of the pick list the grid's arrow button opens on `row`.
    void Pick(const char* gridName, int row, int choice) {
        auto* grid = Get<TArrowGrid>(gridName);
        grid->SelectRow(row);
        m_ui.pickAnswers.push_back(choice);
        grid->ArrowButton()->click();
    }
    std::string Setting(const char* key, const char* fallback = "(none)") const {
        const TBstr keyText(AnsiToWide(key));
        const TBstr fallbackText(AnsiToWide(fallback));
        TBstr value;
        EXPECT_EQ(
            m_session->Application()->GetSetting(keyText.Get(), fallbackText.Get(), value.Put()),
            S_OK);
        return WideToUtf8(value.View());
    }
    void Store(const char* key, const char* value) const {
        const TBstr keyText(AnsiToWide(key));
        const TBstr valueText(AnsiToWide(value));
        ASSERT_EQ(m_session->Application()->SetSetting(keyText.Get(), valueText.Get()), S_OK);
    }
    std::vector<std::string> Errors() const {
        std::vector<std::string> texts;
        for (const auto& shown : m_ui.shown)
            if (shown.kind == TScriptedInteraction::TShown::Error)
                texts.push_back(AnsiToUtf8(shown.text));
        return texts;
    }

    TTempDir m_dir;
    std::filesystem::path m_file = m_dir / "project.kavro";
    std::unique_ptr<kavrohost::THostSession> m_session;
    TSampleAddon* m_addon = nullptr;
    TScriptedInteraction m_ui;
    std::unique_ptr<TTextImportForm> m_form;
};
