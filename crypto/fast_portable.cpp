#include "crypto/clmul_portable.h"
#include "crypto/fast_impl.h"

const FastArith PortableArith = MakeFastArith<ClmulPortable>();
