// User messages captured instead of shown, for as long as the object lives.
#pragma once

#include <string>
#include <vector>

#include "diag/ErrorReport.h"

struct CapturedMessage
{
    std::string caption;
    std::string text;
    uint32_t style;
};

class CapturedMessages
{
public:
    CapturedMessages()
    {
        All().clear();
        SetMessageBoxHook([](void*, const char* caption, const char* text, uint32_t style) {
            All().push_back(CapturedMessage{caption, text, style});
        });
    }
    ~CapturedMessages() { SetMessageBoxHook(nullptr); }
    CapturedMessages(const CapturedMessages&) = delete;
    CapturedMessages& operator=(const CapturedMessages&) = delete;

    static std::vector<CapturedMessage>& All()
    {
        static std::vector<CapturedMessage> messages;
        return messages;
    }
    // "caption / text" of each message, in order.
    static std::vector<std::string> Texts()
    {
        std::vector<std::string> texts;
        for (const CapturedMessage& m : All())
            texts.push_back(m.caption + " / " + m.text);
        return texts;
    }
};
