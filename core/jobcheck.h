#pragma once

#include "conversionjob.h"
#include "saveoutcome.h"

#include <QString>

// The checks the save makes before it asks where to save, as one function
// of the job. The first failure wins: the three emptiness checks, then each
// source in list order (extension, tree, folder), then the texts the batch
// file cannot carry, then two sources converted onto one drawing.
SaveOutcome checkJob(const ConversionJob &job);

namespace batch {
// Where the drawing of `source` is converted to: the destination folder,
// for a tree job the source's folder below the root, the base name and
// ".DXF". Not quoted, not upper-cased.
QString destinationPath(const ConversionJob &job, const QString &source);

// For a tree job, the part of the source's folder below the root, ending
// in "\" unless empty; an empty view for every other job, and for a source
// that does not lie under the root.
QStringView folderBelowRoot(const ConversionJob &job, QStringView source);
bool liesUnderRoot(const ConversionJob &job, QStringView source);

// The name of the intermediate file of the two-pass conversion, inside the
// destination folder: "dummy.dxf", or "dummy1.dxf", "dummy2.dxf" … when a
// drawing of the job would be written under that name and then deleted.
QString intermediateName(const ConversionJob &job);
} // namespace batch
