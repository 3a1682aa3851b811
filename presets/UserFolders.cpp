#include "presets/UserFolders.h"

// Placeholders until the user folders land.
bool SetupUserFolders(const char*, const char*)
{
    return false;
}
bool GetUserSettingsFolder(char*)
{
    return false;
}
bool GetUserParametersFolder(char*)
{
    return false;
}
bool GetDebugLogFolder(char*)
{
    return false;
}
bool ReadSettingsFile(const char*, void*, uint32_t)
{
    return false;
}
void WriteSettingsFile(const char*, const void*, uint32_t) {}
bool ReadParameterFile(const char*, void*)
{
    return false;
}
bool WriteParameterFile(const char*, const void*)
{
    return false;
}
bool CheckRecordVersion(const RecordVersion& expected, const RecordVersion& actual)
{
    return expected.major == actual.major && expected.minor == actual.minor && expected.revision == actual.revision &&
           expected.build == actual.build;
}
