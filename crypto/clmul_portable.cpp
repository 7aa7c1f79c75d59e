// The portable path: the ladder and the tower products over the integer
// carry-less lanes, for CPUs without PCLMULQDQ.
#include "crypto/clmul_portable.h"
#include "crypto/ladder.h"

const FastArith PortableArith = MakeFastArith<ClmulPortable>();
