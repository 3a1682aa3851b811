// The messages the module shows the user during a test, taken so that no run waits for a person.
// The linked module's message-box hook collects them. A loaded module shows real message boxes, which
// are read and closed as they appear; without a display they fail at once and nothing is seen, so
// their texts are known only where Complete() says so.
#pragma once

#include <cstdlib>
#include <string>
#include <vector>

#include "common/CapturedMessages.h"
#include "common/StrayMessageBoxes.h"

class UserMessageWatch
{
public:
    UserMessageWatch() { WatchMessageBoxes(true); }
    ~UserMessageWatch() { WatchMessageBoxes(false); }

    // "caption / text" of each message, in order.
    std::vector<std::string> Texts() const
    {
        std::vector<std::string> texts = CapturedMessages::Texts(), boxes = WatchedMessageBoxes();
        texts.insert(texts.end(), boxes.begin(), boxes.end());
        return texts;
    }

    // Whether every message the module showed is in Texts().
    bool Complete() const
    {
#ifdef _WIN32
        return std::getenv("DISPLAY") != nullptr;
#else
        return true; // only the linked module runs natively
#endif
    }

private:
    CapturedMessages hooked_;
};
