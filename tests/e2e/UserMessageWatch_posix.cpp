#include "e2e/UserMessageWatch.h"

#include "diag/ErrorReport.h"

struct UserMessageWatch::State
{
    std::vector<std::string> texts;
};

namespace {
UserMessageWatch::State* gWatching = nullptr;

void Collect(void*, const char* caption, const char* text, uint32_t)
{
    if (gWatching != nullptr)
        gWatching->texts.push_back(std::string(caption) + " / " + text);
}
} // namespace

UserMessageWatch::UserMessageWatch() : state_(new State)
{
    gWatching = state_.get();
    SetMessageBoxHook(Collect);
}

UserMessageWatch::~UserMessageWatch()
{
    SetMessageBoxHook(nullptr);
    gWatching = nullptr;
}

std::vector<std::string> UserMessageWatch::Texts() const
{
    return state_->texts;
}

bool UserMessageWatch::Complete() const
{
    return true;
}
