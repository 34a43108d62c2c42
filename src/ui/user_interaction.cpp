#include "ui/user_interaction.h"

namespace {

// Without a user interface nobody can answer: messages are dropped, questions answered no.
class TSilentInteraction final : public TUserInteraction {
public:
    void ShowMessage(const AnsiString&) override {}
    void ShowError(const AnsiString&) override {}
    bool Confirm(const AnsiString&, const AnsiString&) override { return false; }
    std::vector<std::filesystem::path> OpenFiles(const TOpenFileOptions&) override { return {}; }
    void ProcessMessages() override {}
};

TSilentInteraction g_silent;
TUserInteraction* g_current = &g_silent;

} // namespace

TUserInteraction& UserInteraction() {
    return *g_current;
}

TUserInteraction* SetUserInteraction(TUserInteraction* service) {
    TUserInteraction* previous = g_current;
    g_current = service ? service : &g_silent;
    return previous;
}
