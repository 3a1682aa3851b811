// The messages the module shows the user during a test, taken so that no run waits for a person.
// Natively the linked module's message-box hook collects them. A loaded module shows real message
// boxes, which a watcher reads and closes; without a display they fail at once and nothing is seen,
// so their texts are known only where Complete() says so.
#pragma once

#include <memory>
#include <string>
#include <vector>

class UserMessageWatch
{
public:
    UserMessageWatch();
    ~UserMessageWatch();
    UserMessageWatch(const UserMessageWatch&) = delete;
    UserMessageWatch& operator=(const UserMessageWatch&) = delete;

    // "caption / text" of each message, in order.
    std::vector<std::string> Texts() const;
    // Whether every message the module showed is in Texts().
    bool Complete() const;

    struct State;

private:
    std::unique_ptr<State> state_;
};
