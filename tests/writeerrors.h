#pragma once

#include "core/files/writeerror.h"

#include <QMetaType>
#include <QTest>

// A write error as a failed comparison shows it: its kind, and the
// system's number and words for it.
inline char *toString(const WriteError &error)
{
    QString text = QStringLiteral("WriteFailure %1").arg(int(error.failure));
    if (error.failure == WriteFailure::System)
        text += QStringLiteral(", error %1: %2").arg(error.systemError).arg(qt_error_string(error.systemError));
    return QTest::toString(text);
}

constexpr WriteError ownReason(WriteFailure failure) { return {failure, 0}; }

Q_DECLARE_METATYPE(WriteError)
