// The subcommands of kavro-host.
#pragma once

#include <string>
#include <vector>

namespace kavrohost {

// Exit codes: 0 success, 1 failure, 2 usage error.
int RunCli(const std::vector<std::string>& args);
// The desktop host (Qt Widgets); args after "gui".
int RunGui(int argc, char** argv, const std::vector<std::string>& args);
const char* UsageText();

} // namespace kavrohost
