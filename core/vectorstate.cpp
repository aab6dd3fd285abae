#include "vectorstate.h"

namespace vectorstate {
void clearUpperHalves()
{
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
    static const bool avx = __builtin_cpu_supports("avx");
    if (avx)
        __asm__ volatile("vzeroupper");
#endif
}
} // namespace vectorstate
