// The text wizard's choices of its parameters page as the host's settings store keeps them: the
// keys, the values a missing key reads as, and how a stored text reads. The wizard applies each
// choice as it reads it, so a stored text that is no number stops the applying at its key and
// what came before stays applied.
#pragma once

#include "addon/application_view.h"

#include <optional>

// The separator as stored: the two radio buttons (both may be off) and the symbol's text.
struct TStoredSeparator {
    bool tab = false;
    bool symbol = true;
    AnsiString symbolText = ";";

    // The character it stands for: tab, the symbol's first character, or a space for none.
    [[nodiscard]] char Character() const;
};

// What the wizard stores when its page is left or the wizard closes.
struct TTextWizardChoices {
    int importType = 0;
    // Positions in the host's order of maps and of the map's layers; -1 for none.
    int mapPosition = -1;
    int layerPosition = -1;
    int classifierPosition = 0;
    TStoredSeparator separator;
    int xColumn = -1;
    int yColumn = -1;
    // The first style row's caption and style identifier, when the grid has rows.
    struct TStyle {
        AnsiString caption;
        AnsiString id;
    };
    std::optional<TStyle> style;
};

class TTextWizardSettings {
public:
    explicit TTextWizardSettings(IKavroApplication& application) : m_settings(application) {}

    // Each number raises EConvertError "'<text>' is not a valid integer value" for a stored text
    // that is no integer. Missing keys read as the defaults named.
    [[nodiscard]] int ImportType() const;    // 1
    [[nodiscard]] int MapPosition() const;   // 0
    [[nodiscard]] int LayerPosition() const; // 0
    // Never -1: no position reads as the first entry, "< не зависит >".
    [[nodiscard]] int ClassifierPosition() const; // 0
    // Tab off, symbol on, ";".
    [[nodiscard]] TStoredSeparator Separator() const;
    [[nodiscard]] int XColumn() const; // 0
    [[nodiscard]] int YColumn() const; // 1
    // The stored style's identifier, empty when none. Its caption is read in its turn but not
    // used: the grid shows the layer's own name of the style.
    [[nodiscard]] AnsiString StyleId() const;

    // Writes every choice, in the store's order of keys; flags as -1 (on) and 0 (off).
    void Store(const TTextWizardChoices& choices) const;

private:
    THostSettings m_settings;
};
