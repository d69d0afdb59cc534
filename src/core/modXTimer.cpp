#include "core/modXTimer.h"

#include <algorithm>

#include "core/AppError.h"
#include "core/AppState.h"
#include "core/PCXTimer.h"

namespace tarvelin {
namespace {

constexpr size_t kTableGrowth = 5;

platform::IEventLoop& Loop() {
    return *AppState().platform->loop;
}

TimerRecord* FindRecord(platform::TimerId id) {
    auto& table = TimerTable();
    auto it =
        std::find_if(table.begin(), table.end(), [id](const TimerRecord& r) { return r.id == id; });
    return it == table.end() ? nullptr : &*it;
}

void FreeRecord(TimerRecord& record) {
    Loop().StopTimer(record.id);
    record.id = 0;
    record.timer.reset();  // may destroy the object: callers touch nothing of it afterwards
}

}  // namespace

std::vector<TimerRecord>& TimerTable() {
    static std::vector<TimerRecord> table;
    return table;
}

platform::TimerId TimerStart(PCXTimer& timer, uint32_t interval) {
    platform::TimerId id = Loop().StartTimer(interval, XTimerProc);
    if (id == 0) throw AppError(kNoTimersAvailable, "modXTimer.TimerStart", "No timers available");

    auto& table = TimerTable();
    TimerRecord* record = FindRecord(0);
    if (record == nullptr) {
        table.resize(table.size() + kTableGrowth);
        record = &table[table.size() - kTableGrowth];
    }
    record->timer = timer.shared_from_this();
    record->id = id;
    record->inTick = false;
    return id;
}

void TimerStop(const PCXTimer& timer) {
    if (timer.TimerID() == 0) return;
    if (TimerRecord* record = FindRecord(timer.TimerID())) FreeRecord(*record);
}

void XTimerProc(platform::TimerId id) {
    TimerRecord* record = FindRecord(id);
    if (record == nullptr) {
        Loop().StopTimer(id);
        return;
    }
    if (record->inTick) return;  // the previous tick's handlers still run: drop this one

    // The handlers may start timers (growing the table) or stop this one, so the record is
    // looked up again by index after they return, and the object is kept alive meanwhile.
    const size_t index = static_cast<size_t>(record - TimerTable().data());
    std::shared_ptr<PCXTimer> timer = record->timer;
    record->inTick = true;
    bool failed = false;
    try {
        timer->RaiseTick();
    } catch (...) {
        failed = true;
    }
    TimerRecord& after = TimerTable()[index];
    if (after.id != id) return;  // stopped (and perhaps reused) from inside the handlers
    after.inTick = false;
    if (!failed) return;
    timer->TimerFreed();
    FreeRecord(after);
}

}  // namespace tarvelin
