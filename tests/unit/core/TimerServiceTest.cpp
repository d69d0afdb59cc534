#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/AppError.h"
#include "core/PCXTimer.h"
#include "core/modAppMain.h"
#include "core/modXTimer.h"
#include "sim/SimPlatform.h"

namespace tarvelin {
namespace {

class TimerServiceTest : public ::testing::Test {
  protected:
    sim::SimPlatform sim;

    std::shared_ptr<PCXTimer> Counting(uint32_t interval, int& ticks,
                                       std::vector<Connection>& keep) {
        auto timer = PCXTimer::Create();
        keep.push_back(timer->Tick.Connect([&ticks] { ++ticks; }));
        timer->SetInterval(interval);
        timer->SetEnabled(true);
        return timer;
    }
};

// A running timer outlives its owner until its own tick stops it, dropping it mid-tick.
TEST_F(TimerServiceTest, TimerOutlivesItsOwnerUntilItStops) {
    int ticks = 0;
    std::vector<Connection> keep;
    auto timer = Counting(200, ticks, keep);
    std::weak_ptr<PCXTimer> weak = timer;
    keep.push_back(timer->Tick.Connect([&] {
        if (ticks == 3) weak.lock()->SetEnabled(false);
    }));
    timer.reset();
    sim.loop.Advance(1000);
    EXPECT_EQ(ticks, 3);
    EXPECT_TRUE(weak.expired());
    EXPECT_EQ(sim.loop.TimerCount(), 0u);
}

TEST_F(TimerServiceTest, OverlappingTickIsDroppedWhileOthersKeepTicking) {
    int slowTicks = 0, fastTicks = 0;
    std::vector<Connection> keep;
    auto slow = Counting(200, slowTicks, keep);
    // The first tick's handler "pumps" for five intervals.
    keep.push_back(slow->Tick.Connect([&] {
        if (slowTicks == 1) sim.loop.Advance(1000);
    }));
    auto fast = Counting(100, fastTicks, keep);

    sim.loop.Advance(200);
    EXPECT_EQ(slowTicks, 1) << "no tick may arrive while the previous one runs";
    EXPECT_GE(fastTicks, 10);
    sim.loop.Advance(200);
    EXPECT_EQ(slowTicks, 2);
}

// The system hands a freed timer id to the next timer. After a failing tick freed its
// record, the failed object must not keep that id: stopping or re-timing it later would stop
// the other timer.
TEST_F(TimerServiceTest, ErrorInTickUnregistersTheTimerAndForgetsItsId) {
    sim.loop.ReuseIds();
    auto failing = PCXTimer::Create();
    int ticks = 0;
    auto c = failing->Tick.Connect([&] {
        ++ticks;
        throw AppError(5, "test", "boom");
    });
    failing->SetInterval(100);
    failing->SetEnabled(true);

    sim.loop.Advance(500);
    EXPECT_EQ(ticks, 1);

    int otherTicks = 0;
    std::vector<Connection> keep;
    auto other = Counting(100, otherTicks, keep);  // takes the freed id
    failing->SetInterval(300);                     // restarts the failed one: it is still Enabled
    failing->SetEnabled(false);
    sim.loop.Advance(300);
    EXPECT_EQ(otherTicks, 3);
    EXPECT_EQ(ticks, 1);
    failing->SetEnabled(true);
    sim.loop.Advance(300);
    EXPECT_EQ(ticks, 2);
    EXPECT_EQ(otherTicks, 6);

    // With no timer left in the system the error is raised and the object keeps none.
    failing->SetEnabled(false);
    sim.loop.FailNextStarts(1);
    EXPECT_THROW(failing->SetEnabled(true), AppError);
    EXPECT_EQ(failing->TimerID(), 0u);
    EXPECT_EQ(sim.loop.TimerCount(), 1u);
}

// Logs its name; a chaining one queues another and then fails.
struct Recorder : Runnable {
    Recorder(std::string n, std::vector<std::string>& l, bool c = false)
        : name(std::move(n)), log(l), chain(c) {}
    void Start() override {
        log.push_back(name);
        if (!chain) return;
        RunLater(std::make_shared<Recorder>("queued by " + name, log));
        throw AppError(1, "test", "a failing start does not stop the rest");
    }
    std::string name;
    std::vector<std::string>& log;
    bool chain;
};

// Objects queued in one call start in order from one later callback, stay alive until
// then, and what a start queues in turn runs in the same pass, even when that start fails.
TEST_F(TimerServiceTest, RunLaterStartsInOrderFromOneCallbackAndKeepsObjectsAlive) {
    std::vector<std::string> log;
    std::weak_ptr<Recorder> weakA;
    {
        auto a = std::make_shared<Recorder>("A", log);
        weakA = a;
        RunLater(a);
    }
    RunLater(std::make_shared<Recorder>("first", log, true));
    RunLater(std::make_shared<Recorder>("C", log));
    EXPECT_FALSE(weakA.expired()) << "queued objects stay alive";
    EXPECT_TRUE(log.empty()) << "nothing starts inside the caller's call";

    sim.loop.PumpOnce();
    sim.loop.Advance(10);
    EXPECT_EQ(log, (std::vector<std::string>{"A", "first", "C", "queued by first"}));
    EXPECT_TRUE(weakA.expired());
    EXPECT_EQ(sim.loop.TimerCount(), 0u) << "every one-shot timer stopped itself";

    // Without a timer the call says so and holds nothing.
    auto refused = std::make_shared<Recorder>("refused", log);
    sim.loop.FailNextStarts(1);
    EXPECT_FALSE(RunLater(refused));
    EXPECT_EQ(refused.use_count(), 1);
    sim.loop.Advance(100);
    EXPECT_EQ(log.size(), 4u);
}

// The shared timer stops when its last user leaves; clean-up (safe twice) drops the queue.
TEST_F(TimerServiceTest, SharedTimerIsCountedByUsersAndDroppedAtCleanup) {
    EXPECT_EQ(SharedTimerAcquire(), SharedTimerAcquire());
    SharedTimerRelease();
    EXPECT_EQ(sim.loop.TimerCount(), 1u) << "one user left";
    SharedTimerRelease();
    EXPECT_EQ(sim.loop.TimerCount(), 0u);

    std::vector<std::string> log;
    RunLater(std::make_shared<Recorder>("never", log));
    AppCleanup();
    AppCleanup();
    sim.loop.Advance(100);
    EXPECT_TRUE(log.empty());
}

}  // namespace
}  // namespace tarvelin
