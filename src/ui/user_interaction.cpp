#include "ui/user_interaction.h"

namespace {

// Without a user interface nobody can answer: messages are dropped, questions answered no.
class TSilentInteraction final : public TUserInteraction {
public:
    void ShowMessage(const AnsiString&) override {}
    void ShowError(const AnsiString&) override {}
    bool Confirm(const AnsiString&, const AnsiString&, TConfirmKind) override { return false; }
    std::vector<std::filesystem::path> OpenFiles(const TOpenFileOptions&) override { return {}; }
    std::optional<int> PickFromList(const TPickListRequest&) override { return std::nullopt; }
    void ProcessMessages() override {}
};

TSilentInteraction g_silent;
TUserInteraction* g_default = &g_silent;
// nullptr while no service is installed: the default answers.
TUserInteraction* g_installed = nullptr;

} // namespace

TUserInteraction& UserInteraction() {
    return g_installed ? *g_installed : *g_default;
}

TUserInteraction* SetUserInteraction(TUserInteraction* service) {
    TUserInteraction* previous = g_installed;
    g_installed = service;
    return previous;
}

void SetDefaultUserInteraction(TUserInteraction* service) {
    g_default = service ? service : &g_silent;
}
