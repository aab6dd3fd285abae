#pragma once

#include "batchwriter.h"

namespace batch {

// The plain form: the converter's lines alone, one a drawing or, for two
// passes, both passes through the intermediate file and its DEL; for a
// tree, each output folder made before its first drawing.
bool writePlainForm(const JobPlan &plan, BatchWriter &w);

} // namespace batch
