#include "e2e/UserMessageWatch.h"

#include "common/CapturedMessages.h"

// Natively every message of the linked module goes through the hook.
struct UserMessageWatch::State
{
    CapturedMessages messages;
};

UserMessageWatch::UserMessageWatch() : state_(new State) {}
UserMessageWatch::~UserMessageWatch() = default;

std::vector<std::string> UserMessageWatch::Texts() const
{
    return CapturedMessages::Texts();
}

bool UserMessageWatch::Complete() const
{
    return true;
}
