#include "presets/RecordVersion.h"

#include "diag/ErrorReport.h"

bool CheckRecordVersion(const RecordVersion& expected, const RecordVersion& actual)
{
    if (expected.major == actual.major && expected.minor == actual.minor && expected.revision == actual.revision &&
        expected.build == actual.build)
        return true;
    ReportError(DEBUG_SITE, kStyleError, kCaptionUnexpected,
                "User Setting File version mismatch. File Version = '%d','%d','%d','%d'", actual.major, actual.minor,
                actual.revision, actual.build);
    return false;
}
