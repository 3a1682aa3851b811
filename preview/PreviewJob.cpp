#include "preview/PreviewJob.h"

#include <cstring>

namespace {

// The eleven parameters lie one after another from `intensity` on.
constexpr size_t kParametersOffset = offsetof(FilterParameters, intensity);
static_assert(sizeof(FilterParameters) - kParametersOffset == sizeof(PreviewJob::parameters));

} // namespace

FilterParameters JobParameters(const PreviewJob& job)
{
    FilterParameters parameters = kFactoryParameters;
    std::memcpy(reinterpret_cast<char*>(&parameters) + kParametersOffset, job.parameters, sizeof(job.parameters));
    return parameters;
}

void SetJobParameters(PreviewJob* job, const FilterParameters& parameters)
{
    std::memcpy(job->parameters, reinterpret_cast<const char*>(&parameters) + kParametersOffset,
                sizeof(job->parameters));
}

bool SameEffect(const PreviewJob& a, const PreviewJob& b)
{
    return a.preview == b.preview && std::memcmp(a.parameters, b.parameters, sizeof(a.parameters)) == 0;
}

bool SameView(const PreviewJob& a, const PreviewJob& b)
{
    return a.zoom == b.zoom && a.centreX == b.centreX && a.centreY == b.centreY &&
           EqualRect(&a.viewRect, &b.viewRect) && EqualRect(&a.imageRect, &b.imageRect);
}
