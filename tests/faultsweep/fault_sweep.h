// A host failure at every call of an import run: one clean run of a command on a project of the
// host stand-in counts its host calls; then each call k in turn fails in a fresh copy of the
// project, and the run's outcome and the project file are checked against the clean run. The
// same for a database that fills up after each of the run's commits in turn.
#pragma once

#include "host/core/host_session.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace faultsweep {

enum class TCommand { Text, Pts, Sdr };

// "text", "pts", "sdr".
[[nodiscard]] const char* CommandName(TCommand command);
[[nodiscard]] std::vector<TCommand> AllCommands();

// The outcome of one injection: empty problems when every check passed.
struct TInjection {
    int call = 0;          // k, 1-based
    std::string operation; // the operation of the clean run's call k
    std::vector<std::string> problems;
    // Committed objects that the failure left short of their clean form (an object whose
    // shape or values were still missing when the writer committed after the error).
    int partialObjects = 0;
    bool Passed() const { return problems.empty(); }
};

// The outcome of a run on a database that fills after some of its commits.
struct TDiskFull {
    int commits = 0;       // the commits after which the database was made full
    bool filled = false;   // a write of the run found the database full
    int committed = 0;     // the commits of the run before that write
    std::string operation; // the host call that failed first
    std::vector<std::string> problems;
    bool Passed() const { return problems.empty(); }
};

class TFaultSweep {
public:
    // Builds the project and the input of the command (about 1,000 points) in the folder, and
    // makes the clean run. Throws std::runtime_error when the clean run is not as expected.
    TFaultSweep(TCommand command, std::filesystem::path folder);
    ~TFaultSweep();
    TFaultSweep(const TFaultSweep&) = delete;
    TFaultSweep& operator=(const TFaultSweep&) = delete;

    // The host calls of the clean run: the number of injection points.
    int CallCount() const;
    const std::vector<kavrohost::THostCall>& CleanCalls() const;
    std::size_t CleanObjectCount() const;

    // Runs the command on a fresh copy of the project with host call k (1-based) failing.
    TInjection Inject(int call) const;

    // The map-object commits of the clean run.
    int CommitCount() const;
    // Runs the command on a fresh copy of the project whose database is full once `commits`
    // commits of the run have succeeded (SQLite itself reports it, through the page limit, to
    // the first write that needs another page). The run must stop at that failure with one
    // message, the database's, and leave the project as the commits before it saved it, value
    // by value; a run whose writes all fitted must be the clean one.
    TDiskFull FillAfterCommits(int commits) const;

private:
    struct TImpl;
    std::unique_ptr<TImpl> m_impl;
};

// The calls to inject for a sample: every `step`th call, and the first and last `edge` ones;
// in increasing order, without repeats.
[[nodiscard]] std::vector<int> SampleCalls(int callCount, int step, int edge);

// The message call k fails with (UTF-8).
[[nodiscard]] std::string FailureMessage(int call);

} // namespace faultsweep
