#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <string>

#include "engine/core/worker_threads.h"
#include "tests/engine/core/log_capture.h"

namespace {

// A worker that counts its steps; each step waits at its safe point first.
struct Counter {
    std::atomic<int> steps{0};
    std::atomic<bool> ended{false};
};

void CountSteps(int slot, void* context) {
    auto* counter = static_cast<Counter*>(context);
    while (WorkerSafePoint(slot)) counter->steps++;
    counter->ended = true;
}

// A worker that takes exactly one safe point when the test opens its gate.
struct Gate {
    std::promise<void> open;
    std::atomic<int> passed{-1};  // what the safe point returned
};

void PassOneSafePoint(int slot, void* context) {
    auto* gate = static_cast<Gate*>(context);
    gate->open.get_future().wait();
    gate->passed = WorkerSafePoint(slot);
}

template <typename Condition>
bool WaitFor(Condition condition) {
    for (int i = 0; i < 5000 && !condition(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return condition();
}

class WorkerThreadTest : public testing::Test {
protected:
    void SetUp() override { InitThreadTable(); }
    void TearDown() override {
        ResumeWorkerThreads();
        DestroyThreadTable();
    }
    test::LogCapture log;
};

TEST_F(WorkerThreadTest, DestroyingAnEmptyTableLogsOnlyItsBanner) {
    log.Take();
    DestroyThreadTable();
    EXPECT_EQ(log.Take(), "\n============================================== Destroy Thread\n");
}

TEST_F(WorkerThreadTest, AbortEndsTheWorkerAndFreesItsSlot) {
    Counter counter;
    const int slot = StartWorkerThread("counter", CountSteps, &counter);
    ASSERT_EQ(slot, 0);
    ASSERT_TRUE(WaitFor([&] { return counter.steps > 0; }));
    log.Take();
    EXPECT_EQ(AbortWorkerThread(slot), 1);
    EXPECT_TRUE(counter.ended);
    EXPECT_EQ(threadTable[slot].inUse, 0);
    const std::string written = log.Take();
    EXPECT_EQ(written.rfind("\x81\xa1 Thread Abort No.00 [0x", 0), 0u) << written;
    EXPECT_NE(written.find("] [counter]\n"), std::string::npos) << written;
    EXPECT_EQ(AbortWorkerThread(slot), 0);  // nothing left in the slot
}

TEST_F(WorkerThreadTest, AbortRefusesSlotsOutsideTheTable) {
    for (int slot : {-1, 16, 1000}) EXPECT_EQ(AbortWorkerThread(slot), 0) << slot;
}

TEST_F(WorkerThreadTest, SuspendedWorkersWaitAtTheirSafePointUntilResumed) {
    Gate gate;
    const int slot = StartWorkerThread("gate", PassOneSafePoint, &gate);
    SuspendWorkerThreads();
    EXPECT_EQ(threadsSuspended, 1);
    gate.open.set_value();
    // Held while suspended: a wrong table lets the worker through at once.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(gate.passed, -1);
    ResumeWorkerThreads();
    ASSERT_TRUE(WaitFor([&] { return gate.passed != -1; }));
    EXPECT_EQ(gate.passed, 1);
    EXPECT_EQ(AbortWorkerThread(slot), 1);
}

// Windows would wait forever for a thread it suspended; here the abort wakes
// the worker so that it can end.
TEST_F(WorkerThreadTest, AbortingASuspendedWorkerEndsIt) {
    Counter counter;
    const int slot = StartWorkerThread("counter", CountSteps, &counter);
    SuspendWorkerThreads();
    EXPECT_EQ(AbortWorkerThread(slot), 1);
    EXPECT_TRUE(counter.ended);
}

TEST_F(WorkerThreadTest, SixteenSlotsAndDestroyAbortsFromTheLast) {
    Counter counters[kWorkerThreadSlots];
    for (int i = 0; i < kWorkerThreadSlots; ++i) {
        EXPECT_EQ(StartWorkerThread(("w" + std::to_string(i)).c_str(), CountSteps, &counters[i]), i);
    }
    Counter extra;
    EXPECT_EQ(StartWorkerThread("extra", CountSteps, &extra), -1);
    log.Take();
    DestroyThreadTable();
    const std::string written = log.Take();
    const size_t last = written.find("No.15 ");
    const size_t first = written.find("No.00 ");
    ASSERT_NE(last, std::string::npos) << written;
    ASSERT_NE(first, std::string::npos) << written;
    EXPECT_LT(last, first);
    for (const Counter& counter : counters) EXPECT_TRUE(counter.ended);
    for (const WorkerThread& worker : threadTable) EXPECT_EQ(worker.inUse, 0);
}

}  // namespace
