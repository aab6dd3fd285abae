#include "conversionjob.h"

#include "core/text/textrules.h"

bool isValidPrecision(const QString &text)
{
    const QString t = textrules::trimmed(text);
    for (int n = PrecisionRange::kLowest; n <= PrecisionRange::kHighest; ++n) {
        if (t == QString::number(n))
            return true;
    }
    return false;
}
