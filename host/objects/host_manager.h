// The host's add-on manager: one object that answers QueryInterface for the error sink, the
// add-on manager, the GIS database, the map project, the map objects, the map view, the
// geometry library, the preferences and the automation application.
#pragma once

#include "host_api/addon_api.h"
#include "host_api/automation_api.h"
#include "host_context.h"

namespace kavrohost {

// A new manager with one reference for the caller, as IUnknown.
IUnknown* NewHostManager(const THostContextPtr& ctx);

} // namespace kavrohost
