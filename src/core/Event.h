#pragma once
// Typed multicast events. An owner connects a handler and keeps the returned Connection;
// dropping the Connection disconnects it. Raising is safe when a handler disconnects
// itself or others, connects new handlers, or destroys the object that owns the event:
// the handler list is copied before it is walked and the event's state is kept alive for
// the duration of the call.
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace tarvelin {

class Connection {
  public:
    Connection() = default;
    explicit Connection(std::function<void()> disconnect) : disconnect_(std::move(disconnect)) {}
    Connection(Connection&& other) noexcept : disconnect_(std::exchange(other.disconnect_, {})) {}
    Connection& operator=(Connection&& other) noexcept {
        if (this != &other) {
            Disconnect();
            disconnect_ = std::exchange(other.disconnect_, {});
        }
        return *this;
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    ~Connection() { Disconnect(); }

    void Disconnect() {
        if (disconnect_) std::exchange(disconnect_, {})();
    }

  private:
    std::function<void()> disconnect_;
};

template <typename... Args>
class Event {
  public:
    using Handler = std::function<void(Args...)>;

    [[nodiscard]] Connection Connect(Handler handler) {
        auto slot = std::make_shared<Slot>(Slot{std::move(handler), true});
        state_->slots.push_back(slot);
        std::weak_ptr<State> weakState = state_;
        std::weak_ptr<Slot> weakSlot = slot;
        return Connection([weakState, weakSlot] {
            auto s = weakSlot.lock();
            if (!s) return;
            s->live = false;
            if (auto st = weakState.lock()) std::erase(st->slots, s);
        });
    }

    void Raise(Args... args) const {
        auto state = state_;  // keeps the list alive if the owner is destroyed by a handler
        auto slots = state->slots;
        for (const auto& slot : slots) {
            if (slot->live) slot->handler(args...);
        }
    }

  private:
    struct Slot {
        Handler handler;
        bool live;
    };
    struct State {
        std::vector<std::shared_ptr<Slot>> slots;
    };
    std::shared_ptr<State> state_ = std::make_shared<State>();
};

}  // namespace tarvelin
