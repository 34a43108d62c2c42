// The host's automation objects (IKavro*) over an open project.
#pragma once

#include "host_api/automation_api.h"
#include "host_context.h"

namespace kavrohost {

// New objects with one reference for the caller.
IKavroDb* NewKavroDb(const THostContextPtr& ctx);
IKavroProjectView* NewKavroProjectView(const THostContextPtr& ctx);

} // namespace kavrohost
