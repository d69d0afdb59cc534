#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/Event.h"

namespace tarvelin {
namespace {

TEST(EventTest, EveryHandlerSeesTheSameArgumentsAndMaySteerByReference) {
    Event<std::string, bool&> event;
    std::vector<std::string> seen;
    auto a = event.Connect([&](std::string s, bool&) { seen.push_back(s); });
    auto b = event.Connect([&](std::string s, bool& cancel) {
        seen.push_back(s);
        cancel = true;
    });
    bool cancel = false;
    event.Raise(std::string(100, 'x'), cancel);  // a by-value text must not be moved away
    EXPECT_EQ(seen, (std::vector<std::string>{std::string(100, 'x'), std::string(100, 'x')}));
    EXPECT_TRUE(cancel);
}

TEST(EventTest, HandlersMayDisconnectOthersOrDestroyTheOwnerWhileRaising) {
    struct Owner {
        Event<> Changed;
    };
    auto owner = std::make_unique<Owner>();
    int later = 0;
    Connection second;
    auto first = owner->Changed.Connect([&] {
        second.Disconnect();  // not called in this raise any more
        owner.reset();        // the event itself goes away mid-raise
    });
    second = owner->Changed.Connect([&] { ++later; });
    owner->Changed.Raise();
    EXPECT_EQ(later, 0);
    EXPECT_EQ(owner, nullptr);
    first.Disconnect();  // after the event is gone: harmless
}

}  // namespace
}  // namespace tarvelin
