#pragma once

#if defined(NXA_LIBRARY)
#define NXA_EXPORT __attribute__((visibility("default")))
#else
#define NXA_EXPORT
#endif
