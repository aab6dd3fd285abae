#pragma once

#include "core/save/saveflow.h"

class QIODevice;

namespace batchtool {

struct Environment;
struct Sources;

// What the tool makes of its sources before it writes: each source it can
// open is read (drawing::readSources); one that is not there, cannot be
// read, is empty, is no drawing or is a DWG is named with why and refuses
// the save; a DXF of another version is named as a warning, and the batch
// file is written with that drawing to be looked at. Sources whose paths
// name no file of this system are counted once.
saveflow::SourceCheck drawingCheck(const Environment &env, QIODevice &err, const Sources &sources);

} // namespace batchtool
