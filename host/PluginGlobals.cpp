#include "host/PluginGlobals.h"

#include "image/BufferRecord.h"

PluginGlobals gPlugin;

void PublishHostMemory()
{
    const FilterRecord* record = gPlugin.filterRecord;
    SetHostMemory(HostMemory{gPlugin.bufferSuite, record != nullptr ? record->bufferProcs : nullptr});
}

void ResetPluginGlobals()
{
    gPlugin = PluginGlobals{};
    PublishHostMemory();
}
