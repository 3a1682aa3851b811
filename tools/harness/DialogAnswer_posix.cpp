#include "tools/harness/DialogAnswer.h"

struct DialogAnswerer::Watch
{
};

DialogAnswerer::DialogAnswerer(DialogAnswer) : watch_(nullptr) {}

DialogAnswerer::~DialogAnswerer()
{
    delete watch_;
}
