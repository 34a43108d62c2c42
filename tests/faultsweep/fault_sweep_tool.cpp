// ti-fault-sweep: a host failure at every call of each import command.
//
//   ti-fault-sweep [--sample N] [--command text|pts|sdr] [--folder DIR]
//   ti-fault-sweep --disk-full [--command text|pts|sdr] [--folder DIR]
//
// Prints per command the number of injection points, how many were tried (every Nth call plus
// the first and last ten with --sample) and how many passed, with the time taken; a failing
// injection is listed with its problems. With --disk-full the database fills after each commit
// of the run in turn instead (before the first, after the first, ...). Exit code 1 when one
// failed, 2 on a usage error.
#include "faultsweep/fault_sweep.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <map>
#include <string>

using namespace faultsweep;

namespace {

int Usage() {
    std::cerr << "usage: ti-fault-sweep [--sample N | --disk-full] [--command text|pts|sdr] "
                 "[--folder DIR]\n";
    return 2;
}

// The database fills after each commit of the command's run in turn.
bool SweepDiskFull(const TFaultSweep& sweep, TCommand command) {
    const auto start = std::chrono::steady_clock::now();
    const int commits = sweep.CommitCount();
    int passed = 0, filled = 0;
    for (int n = 0; n < commits; ++n) {
        const TDiskFull r = sweep.FillAfterCommits(n);
        filled += r.filled ? 1 : 0;
        if (r.Passed()) {
            ++passed;
            continue;
        }
        std::cout << "  " << CommandName(command) << " full after " << n << " commits";
        if (r.filled)
            std::cout << " (" << r.operation << " failed after " << r.committed << " commits)";
        std::cout << ":";
        for (const auto& p : r.problems)
            std::cout << " " << p << ";";
        std::cout << "\n";
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%s: database full after each of %d commits: %d tried, %d found it full, %d "
                "passed, %.1f s\n",
                CommandName(command), commits, commits, filled, passed, seconds);
    std::fflush(stdout);
    return passed == commits;
}

} // namespace

int main(int argc, char** argv) {
    int sample = 0;
    std::vector<TCommand> commands = AllCommands();
    std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("ti-fault-sweep-" + std::to_string(getpid()));
    bool diskFull = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--disk-full") {
            diskFull = true;
            continue;
        }
        if (i + 1 >= argc)
            return Usage();
        const std::string value = argv[++i];
        if (arg == "--sample") {
            sample = std::atoi(value.c_str());
            if (sample < 1)
                return Usage();
        } else if (arg == "--command") {
            commands.clear();
            for (TCommand c : AllCommands())
                if (value == CommandName(c))
                    commands.push_back(c);
            if (commands.empty())
                return Usage();
        } else if (arg == "--folder") {
            folder = value;
        } else {
            return Usage();
        }
    }

    if (diskFull && sample > 0)
        return Usage();
    bool allPassed = true;
    for (TCommand command : commands) {
        const auto start = std::chrono::steady_clock::now();
        const std::filesystem::path dir = folder / CommandName(command);
        TFaultSweep sweep(command, dir);
        if (diskFull) {
            allPassed = SweepDiskFull(sweep, command) && allPassed;
            std::filesystem::remove_all(dir);
            continue;
        }
        const int points = sweep.CallCount();
        std::vector<int> calls;
        if (sample > 0) {
            calls = SampleCalls(points, sample, 10);
        } else {
            for (int k = 1; k <= points; ++k)
                calls.push_back(k);
        }
        int passed = 0, partial = 0;
        std::map<std::string, int> partialByOperation;
        for (int k : calls) {
            const TInjection r = sweep.Inject(k);
            if (r.Passed()) {
                ++passed;
            } else {
                allPassed = false;
                std::cout << "  " << CommandName(command) << " call " << k << " (" << r.operation
                          << "):";
                for (const auto& p : r.problems)
                    std::cout << " " << p << ";";
                std::cout << "\n";
            }
            if (r.partialObjects > 0) {
                ++partial;
                ++partialByOperation[r.operation];
            }
        }
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::printf("%s: %zu objects, %d injection points, %zu tried, %d passed, %.1f s\n",
                    CommandName(command), sweep.CleanObjectCount(), points, calls.size(), passed,
                    seconds);
        if (partial > 0) {
            std::printf("  %d runs committed an object left incomplete by the failure, at:",
                        partial);
            for (const auto& [operation, count] : partialByOperation)
                std::printf(" %s (%d)", operation.c_str(), count);
            std::printf("\n");
        }
        std::fflush(stdout);
        std::filesystem::remove_all(dir);
    }
    std::error_code ec;
    std::filesystem::remove(folder, ec);
    return allPassed ? 0 : 1;
}
