// What a wizard shows for a chosen style: its layer, the layer's map and display captions.
// None of these raises: a host failure (or a host that is not bound) gives the fallback.
#pragma once

#include "platform/codepage.h"

#include <string_view>

class TQmCustomAddon;

// The layer that owns the style (entry 0 of the style's identifier list); empty on failure.
[[nodiscard]] AnsiString GetStyleLayerID(const TQmCustomAddon& addon, std::string_view styleId);
// The map named in the layer's descriptor; empty on failure.
[[nodiscard]] AnsiString GetLayerMapID(const TQmCustomAddon& addon, std::string_view layerId);
// The style's name; the default for an empty identifier or on failure.
[[nodiscard]] AnsiString GetStyleCaption(const TQmCustomAddon& addon, std::string_view styleId,
                                         std::string_view defaultText);
// "[map name] layer name"; the default for an empty identifier or on failure.
[[nodiscard]] AnsiString GetLayerCaption(const TQmCustomAddon& addon, std::string_view layerId,
                                         std::string_view defaultText);
