#pragma once

// The toolkit's seeded string hash (behind every QHash and QSet of texts)
// leaves the upper halves of the processor's vector registers in use, on
// processors with AVX. Until they are cleared, every SSE instruction of
// this program's own code waits on them: the composer of 100,000 drawings
// takes 18 ms so, and 6 ms once they are cleared. The long loops over a
// job's sources call this first. It does nothing where there is no AVX.
namespace vectorstate {
void clearUpperHalves();
}
