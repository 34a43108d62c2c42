// What the host application shows the user beside its database: the project view's maps and
// layers with the active ones, a layer's styles, and the application's settings store.
#pragma once

#include "host_api/automation_api.h"
#include "platform/codepage.h"

#include <string_view>
#include <vector>

// An entry of a list the user picks from: the host's identifier and the name shown.
struct TIdNameEntry {
    AnsiString id;
    AnsiString name;
};

// Each reader appends to `entries` as it reads, so that a host failure (EOleException with the
// host's message) leaves the entries read before it.

// The project view's maps in the host's order.
void ReadProjectMaps(IKavroApplication& application, std::vector<TIdNameEntry>& entries);
// The layers of the project view's map in the host's order; none for an unknown map.
void ReadMapLayers(IKavroApplication& application, std::string_view mapId,
                   std::vector<TIdNameEntry>& entries);
// The active map and layer of the project view; empty when there is none.
[[nodiscard]] AnsiString ActiveMapId(IKavroApplication& application);
[[nodiscard]] AnsiString ActiveLayerId(IKavroApplication& application);

// The styles of the layer in the host's order. False, with nothing appended, when the database
// has no such layer.
bool ReadLayerStyles(IKavroDb& database, std::string_view layerId,
                     std::vector<TIdNameEntry>& entries);

// The application's settings store: texts under text keys; a missing key reads as the default.
// Host failures raise EOleException.
class THostSettings {
public:
    explicit THostSettings(IKavroApplication& application) : m_application(application) {}

    [[nodiscard]] AnsiString Read(std::string_view key, std::string_view defaultValue) const;
    void Write(std::string_view key, std::string_view value) const;

private:
    IKavroApplication& m_application;
};
