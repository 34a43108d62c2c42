// A user interaction service that answers from a script and records what it was shown.
#pragma once

#include "ui/user_interaction.h"

#include <deque>
#include <functional>

class TScriptedInteraction final : public TUserInteraction {
public:
    struct TShown {
        enum Kind { Message, Error, Confirmation } kind;
        AnsiString text;
    };

    // Installs itself as the service for its lifetime.
    TScriptedInteraction() : m_previous(SetUserInteraction(this)) {}
    ~TScriptedInteraction() override { SetUserInteraction(m_previous); }
    TScriptedInteraction(const TScriptedInteraction&) = delete;
    TScriptedInteraction& operator=(const TScriptedInteraction&) = delete;

    void ShowMessage(const AnsiString& text) override { shown.push_back({TShown::Message, text}); }
    void ShowError(const AnsiString& text) override { shown.push_back({TShown::Error, text}); }
    bool Confirm(const AnsiString& text, const AnsiString&) override {
        shown.push_back({TShown::Confirmation, text});
        if (confirmAnswers.empty())
            return false;
        bool answer = confirmAnswers.front();
        confirmAnswers.pop_front();
        return answer;
    }
    std::vector<std::filesystem::path> OpenFiles(const TOpenFileOptions& options) override {
        openFileRequests.push_back(options);
        if (fileAnswers.empty())
            return {};
        auto answer = fileAnswers.front();
        fileAnswers.pop_front();
        return answer;
    }
    void ProcessMessages() override {
        ++processMessagesCalls;
        if (onProcessMessages)
            onProcessMessages();
    }

    std::vector<TShown> shown;
    std::deque<bool> confirmAnswers;
    std::deque<std::vector<std::filesystem::path>> fileAnswers;
    std::vector<TOpenFileOptions> openFileRequests;
    int processMessagesCalls = 0;
    // Runs inside ProcessMessages, e.g. to press a cancel button between files.
    std::function<void()> onProcessMessages;

private:
    TUserInteraction* m_previous;
};
