// Must not compile as save bar code: the save bar names a refused line by a
// signal, and holds no part of the source list.
#include "inputs/sourcelist.h"
