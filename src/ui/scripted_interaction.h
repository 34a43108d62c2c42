// A user interaction service that answers from a script and records what it was shown.
#pragma once

#include "ui/user_interaction.h"

#include <deque>
#include <functional>

class TScriptedInteraction final : public TUserInteraction {
public:
    struct TShown {
        enum Kind { Message, Error, Confirmation, PickList } kind;
        AnsiString text;
        // Confirmations: their caption and icon.
        AnsiString caption{};
        TConfirmKind confirmKind = TConfirmKind::Question;
    };

    // Installs itself as the service for its lifetime.
    TScriptedInteraction() : m_previous(SetUserInteraction(this)) {}
    ~TScriptedInteraction() override { SetUserInteraction(m_previous); }
    TScriptedInteraction(const TScriptedInteraction&) = delete;
    TScriptedInteraction& operator=(const TScriptedInteraction&) = delete;

    void ShowMessage(const AnsiString& text) override {
        shown.push_back({TShown::Message, text});
        if (onShown)
            onShown(shown.back());
    }
    void ShowError(const AnsiString& text) override {
        shown.push_back({TShown::Error, text});
        if (onShown)
            onShown(shown.back());
    }
    bool Confirm(const AnsiString& text, const AnsiString& caption, TConfirmKind kind) override {
        shown.push_back({TShown::Confirmation, text, caption, kind});
        if (onShown)
            onShown(shown.back());
        return Next(confirmAnswers, false);
    }
    std::vector<std::filesystem::path> OpenFiles(const TOpenFileOptions& options) override {
        openFileRequests.push_back(options);
        return Next(fileAnswers, std::vector<std::filesystem::path>{});
    }
    std::optional<int> PickFromList(const TPickListRequest& request) override {
        pickListRequests.push_back(request);
        return Next(pickAnswers, std::optional<int>{});
    }
    void ProcessMessages() override {
        ++processMessagesCalls;
        if (onProcessMessages)
            onProcessMessages();
    }

    // The texts of everything shown, in order.
    [[nodiscard]] std::vector<AnsiString> Texts() const {
        std::vector<AnsiString> texts;
        for (const auto& entry : shown)
            texts.push_back(entry.text);
        return texts;
    }

    std::vector<TShown> shown;
    std::deque<bool> confirmAnswers;
    std::deque<std::vector<std::filesystem::path>> fileAnswers;
    std::deque<std::optional<int>> pickAnswers;
    std::vector<TOpenFileOptions> openFileRequests;
    std::vector<TPickListRequest> pickListRequests;
    int processMessagesCalls = 0;
    // Runs after a message, error or confirmation is recorded.
    std::function<void(const TShown&)> onShown;
    // Runs inside ProcessMessages, e.g. to press a cancel button between files.
    std::function<void()> onProcessMessages;

private:
    // The next scripted answer; the fallback once the script is used up.
    template <class T> static T Next(std::deque<T>& answers, T fallback) {
        if (answers.empty())
            return fallback;
        T answer = std::move(answers.front());
        answers.pop_front();
        return answer;
    }

    TUserInteraction* m_previous;
};
