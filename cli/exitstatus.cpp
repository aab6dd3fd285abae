#include "exitstatus.h"

#include "batchtool.h"

#include <algorithm>

namespace batchtool {

int exitCodeFor(SaveResult result)
{
    for (const ExitStatus &status : kExitStatuses) {
        if (std::find(status.results.begin(), status.results.end(), result) != status.results.end())
            return status.code;
    }
    return UsageError;
}

QList<int> exitCodes()
{
    QList<int> codes;
    for (const ExitStatus &status : kExitStatuses)
        codes << status.code;
    return codes;
}

} // namespace batchtool
