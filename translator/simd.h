// The translator's byte loops take sixteen bytes at a time with SSE2 where the compiler targets
// it. VORLINTEX_NO_SIMD builds the plain loops instead, so that they are tested on machines that
// have SSE2 as well as on those that have not.
#pragma once

#if defined(__SSE2__) && !defined(VORLINTEX_NO_SIMD)
#define VORLINTEX_SSE2 1
#include <emmintrin.h>
#endif
