// The 32-bit build holds no AVX kernels: the stack of a 32-bit Windows thread is
// aligned to 4 bytes only, and wide vectors spilled there cannot be relied on to
// be aligned, so that build stops at SSE2. The empty tables say "not built".
#include "planet/kernels.h"

const PlanetKernels g_kernelsAvx2 = {};
const PlanetKernels g_kernelsAvx512 = {};
