#include "coords/gui/coordinate_system_custom_editor.h"

#include "text/text_rules.h"

#include <utility>
#include <vector>

namespace {

struct TRegisteredEditor {
    AnsiString format;
    TCoordinateSystemCustomEditorPtr editor;
};

std::vector<TRegisteredEditor>& Registry() {
    static std::vector<TRegisteredEditor> registry;
    return registry;
}

} // namespace

void RegisterCoordinateSystemCustomEditor(std::string_view formatName,
                                          TCoordinateSystemCustomEditorPtr editor) {
    for (TRegisteredEditor& entry : Registry())
        if (AnsiSameText(entry.format, formatName)) {
            entry.editor = std::move(editor);
            return;
        }
    Registry().push_back({AnsiString(formatName), std::move(editor)});
}

TCoordinateSystemCustomEditorPtr FindCoordinateSystemCustomEditor(std::string_view formatName) {
    for (const TRegisteredEditor& entry : Registry())
        if (AnsiSameText(entry.format, formatName))
            return entry.editor;
    return nullptr;
}

void FreeCoordinateSystemCustomEditors() {
    Registry().clear();
    Registry().shrink_to_fit();
}
