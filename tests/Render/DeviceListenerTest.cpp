#include "Render/PDeviceListener.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

// Logs "<name> lost" and "<name> reset"; may act from inside its loss call.
class LoggingListener : public CPDeviceListener {
public:
    LoggingListener(std::string listenerName, std::vector<std::string>& listenerLog)
        : name(std::move(listenerName)), log(listenerLog) {}

    void OnLostDevice() override {
        log.push_back(name + " lost");
        if (onLost)
            onLost();
    }
    void OnResetDevice() override { log.push_back(name + " reset"); }

    std::string name;
    std::vector<std::string>& log;
    std::function<void()> onLost;
};

// Public: the cases of a table act on the fixture from their listeners.
class DeviceListenerTest : public ::testing::Test {
public:
    LoggingListener& Add(const std::string& name) {
        listeners.push_back(std::make_unique<LoggingListener>(name, log));
        return *listeners.back();
    }
    void Remove(const std::string& name) {
        std::erase_if(listeners, [&](const auto& listener) { return listener->name == name; });
    }
    std::vector<std::string> Lost() {
        log.clear();
        NotifyDeviceLost();
        return log;
    }
    std::vector<std::string> Reset() {
        log.clear();
        NotifyDeviceReset();
        return log;
    }

    using Names = std::vector<std::string>;
    std::vector<std::string> log;
    std::vector<std::unique_ptr<LoggingListener>> listeners;
};

TEST_F(DeviceListenerTest, ListenersAreCalledInRegistrationOrderForTheirLifetime) {
    const std::size_t others = GetDeviceListeners().size();
    EXPECT_EQ(Lost(), Names{});
    Add("a");
    Add("b");
    Add("c");
    EXPECT_EQ(Lost(), (Names{"a lost", "b lost", "c lost"}));
    // A failed reset calls nothing; the next attempt releases again first.
    EXPECT_EQ(Lost(), (Names{"a lost", "b lost", "c lost"}));
    EXPECT_EQ(Reset(), (Names{"a reset", "b reset", "c reset"}));

    Remove("b");
    Add("d");
    EXPECT_EQ(Lost(), (Names{"a lost", "c lost", "d lost"}));
    EXPECT_EQ(Reset(), (Names{"a reset", "c reset", "d reset"}));
    listeners.clear();
    EXPECT_EQ(GetDeviceListeners().size(), others);
    EXPECT_EQ(Lost(), Names{});
}

TEST_F(DeviceListenerTest, ListenersMayComeAndGoDuringANotification) {
    struct Case {
        const char* name;
        std::string actor;
        std::function<void(DeviceListenerTest&)> action;
        Names lost;
        Names afterwards;
    };
    const Case cases[] = {
        {"removes itself",
         "b",
         [](DeviceListenerTest& t) { t.Remove("b"); },
         {"a lost", "b lost", "c lost"},
         {"a lost", "c lost"}},
        {"removes a later one",
         "a",
         [](DeviceListenerTest& t) { t.Remove("c"); },
         {"a lost", "b lost"},
         {"a lost", "b lost"}},
        {"removes an earlier one",
         "c",
         [](DeviceListenerTest& t) { t.Remove("a"); },
         {"a lost", "b lost", "c lost"},
         {"b lost", "c lost"}},
        {"removes every listener", "a", [](DeviceListenerTest& t) { t.listeners.clear(); }, {"a lost"}, {}},
        {"adds one, called from the next walk on",
         "a",
         [](DeviceListenerTest& t) { t.Add("n"); },
         {"a lost", "b lost", "c lost"},
         {"a lost", "b lost", "c lost", "n lost"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        listeners.clear();
        Add("a");
        Add("b");
        Add("c");
        for (auto& listener : listeners)
            if (listener->name == c.actor)
                listener->onLost = [this, &c, acted = std::make_shared<bool>(false)] {
                    if (!std::exchange(*acted, true))
                        c.action(*this);
                };
        EXPECT_EQ(Lost(), c.lost);
        EXPECT_EQ(Lost(), c.afterwards);
    }
    listeners.clear();
}

} // namespace
