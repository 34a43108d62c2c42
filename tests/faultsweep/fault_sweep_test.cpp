// A fixed sample of the host-failure sweep of each import command: every 37th host call of its
// run, and the first and last ten, fail in turn; and the database filling after each commit.
#include "faultsweep/fault_sweep.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

using namespace faultsweep;

namespace {

class FaultSweepSample : public ::testing::TestWithParam<TCommand> {};

// The runs' project copies go to memory when the machine has a tmpfs: each run opens and
// closes a project, and on a disk the syncs of that take most of the time.
std::filesystem::path SweepFolder(const TTempDir& dir) {
    std::error_code ec;
    if (!std::filesystem::is_directory("/dev/shm", ec))
        return dir.Path();
    return std::filesystem::path("/dev/shm") / dir.Path().filename();
}

struct TRemoved {
    std::filesystem::path path;
    ~TRemoved() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
};

TEST_P(FaultSweepSample, EveryFailureIsReportedAndLeavesWhatWasCommitted) {
    TTempDir dir;
    const TRemoved folder{SweepFolder(dir)};
    const TFaultSweep sweep(GetParam(), folder.path);
    // A run of about a thousand points makes several host calls per point.
    ASSERT_GT(sweep.CallCount(), 5000);
    for (int k : SampleCalls(sweep.CallCount(), 37, 10)) {
        const TInjection r = sweep.Inject(k);
        std::string problems;
        for (const auto& p : r.problems)
            problems += p + "; ";
        EXPECT_TRUE(r.Passed()) << "call " << k << " (" << r.operation << "): " << problems;
    }
}

INSTANTIATE_TEST_SUITE_P(Commands, FaultSweepSample,
                         ::testing::Values(TCommand::Text, TCommand::Pts, TCommand::Sdr),
                         [](const auto& info) { return std::string(CommandName(info.param)); });

// The database fills after each commit of the run in turn; SQLite itself reports it.
class FaultSweepDiskFull : public ::testing::TestWithParam<TCommand> {};

TEST_P(FaultSweepDiskFull, TheRunStopsWithOneMessageAndKeepsWhatWasCommitted) {
    TTempDir dir;
    const TRemoved folder{SweepFolder(dir)};
    const TFaultSweep sweep(GetParam(), folder.path);
    ASSERT_GT(sweep.CommitCount(), 0);
    int filled = 0;
    for (int n = 0; n < sweep.CommitCount(); ++n) {
        const TDiskFull r = sweep.FillAfterCommits(n);
        filled += r.filled ? 1 : 0;
        std::string problems;
        for (const auto& p : r.problems)
            problems += p + "; ";
        EXPECT_TRUE(r.Passed()) << "full after " << n << " commits: " << problems;
    }
    // The last commit's writes may fit into the pages there are, not all the others'.
    EXPECT_GE(filled, sweep.CommitCount() - 1);
}

INSTANTIATE_TEST_SUITE_P(Commands, FaultSweepDiskFull, ::testing::ValuesIn(AllCommands()),
                         [](const auto& info) { return std::string(CommandName(info.param)); });

TEST(FaultSweepCalls, SampleTakesEveryNthAndBothEnds) {
    EXPECT_EQ(SampleCalls(25, 10, 3), (std::vector<int>{1, 2, 3, 10, 20, 23, 24, 25}));
    EXPECT_EQ(SampleCalls(4, 37, 10), (std::vector<int>{1, 2, 3, 4}));
}

} // namespace
