// kavro-host: the host stand-in's command line and desktop application.
#include "cli.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv, argv + argc);
    if (args.size() >= 2 && args[1] == "gui")
        return kavrohost::RunGui(argc, argv, args);
    return kavrohost::RunCli(args);
}
