// The deferred-start queue: objects whose Start runs from the message loop once the
// current message has been handled.
#include <exception>

#include "core/AppState.h"
#include "core/modAppMain.h"
#include "platform/EventLoop.h"

namespace tarvelin {
namespace {

void DeferredStartProc(platform::TimerId id) {
    AppState().platform->loop->StopTimer(id);  // each timer fires once
    auto& queue = AppState().deferredQueue;
    // A Start may queue more objects; they are started in this same pass.
    while (queue && !queue->empty()) {
        std::shared_ptr<Runnable> next = std::move(queue->front());
        queue->pop_front();
        try {
            next->Start();
        } catch (...) {
            // one object's failure does not stop the objects behind it
        }
    }
    queue.reset();
}

}  // namespace

bool RunLater(std::shared_ptr<Runnable> runnable) {
    if (!runnable) return false;
    auto& queue = AppState().deferredQueue;
    if (!queue) {  // no pass is due or running: one is started for this object
        if (AppState().platform->loop->StartTimer(1, DeferredStartProc) == 0) return false;
        queue.emplace();
    }
    queue->push_back(std::move(runnable));
    return true;
}

}  // namespace tarvelin
