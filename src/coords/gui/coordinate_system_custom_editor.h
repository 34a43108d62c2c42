// Format-specific constructor dialogs of the coordinate system editor: a module-wide registry
// that maps a description format's name (letter case ignored) to the editor that composes
// references of that format.
#pragma once

#include "coords/coordinate_reference.h"

#include <memory>
#include <string_view>

class QWidget;
class TCoordinateSystemCatalog;

class TCoordinateSystemCustomEditor {
public:
    virtual ~TCoordinateSystemCustomEditor() = default;
    // Opens the editor for the reference; true when the user confirmed a new reference, which
    // then replaces `reference`. May raise ECoordinateSystemError for a reference it cannot read.
    virtual bool Edit(QWidget* owner, TCoordinateSystemCatalog& catalog,
                      TCoordinateReferenceDef& reference) = 0;
};

using TCoordinateSystemCustomEditorPtr = std::shared_ptr<TCoordinateSystemCustomEditor>;

// Registering a name that is already present replaces its editor.
void RegisterCoordinateSystemCustomEditor(std::string_view formatName,
                                          TCoordinateSystemCustomEditorPtr editor);
// The editor registered for the format, or null.
[[nodiscard]] TCoordinateSystemCustomEditorPtr
FindCoordinateSystemCustomEditor(std::string_view formatName);
// Empties the registry (the module's unload).
void FreeCoordinateSystemCustomEditors();
