// The maps, layers and styles of the host's map project as the chooser shows them.
#pragma once

#include "host_api/short_string.h"

#include <cstdint>
#include <vector>

class TQmCustomAddon;

// What a node of the project tree stands for.
enum class TProjectNodeKind : std::int32_t { Map = 0, Layer = 1, Style = 2 };

// Attached to every node of the project tree.
struct TIDHolder {
    TQmID id{};
    TProjectNodeKind kind = TProjectNodeKind::Map;
};

struct TProjectTreeNode {
    TIDHolder holder;
    AnsiString name;
    std::vector<TProjectTreeNode> children;
};

// The project's maps in host order; below them their layers when `kind` is a layer or a style,
// and below the layers their styles when it is a style. Host failures raise EHResultError.
[[nodiscard]] std::vector<TProjectTreeNode> ReadProjectTree(const TQmCustomAddon& addon,
                                                            TProjectNodeKind kind);
