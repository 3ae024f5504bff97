// The 32-bit build holds no AVX kernels. SSE2 is that target's floor, and wide
// vectors on the stack of a 32-bit Windows thread (aligned to 4 bytes there) rest
// on GCC realigning every frame that holds one, which nothing here can run to
// check: that build stops at SSE2. The empty tables say "not built".
#include "planet/kernels.h"

const PlanetKernels g_kernelsAvx2 = {};
const PlanetKernels g_kernelsAvx512 = {};
