#pragma once

#include "conversionjob.h"
#include "filewrite.h"

#include <QStringList>

class QIODevice;

namespace batch {

// A path token as cmd.exe must see it: enclosed in double quotes when it
// holds a blank or a character that cmd.exe treats as an operator
// (& | < > ^ ( ) , ; =), with every % written as %% so that it is not taken
// for a variable. A token without any of these is returned unchanged.
QString quoteToken(const QString &token);

// The converted drawing's path for `source`: the destination folder, the
// source's base name and ".DXF". Not quoted, not upper-cased.
QString destinationPath(const ConversionJob &job, const QString &source);

// The name of the intermediate file of the two-pass conversion, inside the
// destination folder: "dummy.dxf", or "dummy1.dxf", "dummy2.dxf" … when a
// drawing of the job would be written under that name and then deleted.
QString intermediateName(const ConversionJob &job);

// The " -a<precision>" option for ASCII output, empty otherwise.
QString precisionOption(const ConversionJob &job);

} // namespace batch

// Every line of the batch file for `job`, in list order, upper-cased and
// without line ends.
QStringList ComposeBatchLines(const ConversionJob &job);

// Writes each line as code page 932 bytes followed by CR LF. Returns false
// when the device took fewer bytes than it was given.
bool WriteBatchLines(QIODevice &file, const QStringList &lines);

// The bytes WriteBatchLines writes.
QByteArray batchFileBytes(const QStringList &lines);
// The same bytes for the lines of `job`, composed straight into one buffer.
QByteArray batchFileBytes(const ConversionJob &job);

// Writes the batch file of `job` as the whole content of `path`, composing
// and writing as it goes. Like writeWholeFile, an existing file is replaced
// only once every byte is on disk.
WriteResult writeBatchFile(const QString &path, const ConversionJob &job);
