#pragma once

#include "core/batch/batchcomposer.h"
#include "core/files/filewrite.h"
#include "core/job/jobplan.h"
#include "core/text/cp932.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

// A job's batch file whole, as the tests, the fuzzer and the benchmarks
// look at it; the program hands it on in pieces (batch::composeTo).

// The whole content of the batch file of `job`.
inline QByteArray batchFileBytes(const ConversionJob &job)
{
    QByteArray bytes;
    const batch::Composed composed = batch::composeBytes(job, [&bytes](const QByteArray &piece) {
        bytes += piece;
        return true;
    });
    return composed.passed() ? bytes : QByteArray("compose failed");
}

// Every line of the batch file for `job`, in order, without line ends.
inline QStringList composeBatchLines(const ConversionJob &job)
{
    QStringList lines;
    const QByteArray bytes = batchFileBytes(job);
    qsizetype begin = 0;
    while (begin < bytes.size()) {
        const qsizetype end = bytes.indexOf("\r\n", begin);
        lines << cp932::decode(QByteArrayView(bytes).sliced(begin, end - begin));
        begin = end + 2;
    }
    return lines;
}

// The worked jobs' folders and two sources, of `kind`.
inline ConversionJob exampleJob(BatchKind kind)
{
    ConversionJob job;
    job.kind = kind;
    job.autocadFolder = QStringLiteral("C:\\ACAD\\");
    job.destinationFolder = QStringLiteral("D:\\OUT\\");
    job.sources = {QStringLiteral("C:\\DRAW\\plan1.dxf"), QStringLiteral("C:\\My Work\\site b.DXF")};
    return job;
}

// The file the composer's pieces make for `job`, written as the save
// writes them (whether or not the job passes its checks) and read back.
inline QByteArray fileBytes(const ConversionJob &job)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("R13TO12.BAT"));
    const auto compose = [&job](QIODevice &file) { return batch::composeTo(job::JobPlan(job), file, 4096).passed(); };
    if (!writeWholeFile(path, compose).passed())
        return QByteArray("write failed");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("read failed");
    return file.readAll();
}
