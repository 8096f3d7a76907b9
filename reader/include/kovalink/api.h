/* Declaration markers of the KovalinkHID exports. */
#ifndef KOVALINK_API_H
#define KOVALINK_API_H

#include "kv_api.h"

#ifdef __cplusplus
#define KV_EXTERN_C extern "C"
#else
#define KV_EXTERN_C
#endif

/* Every export: C linkage, the library's calling convention, an int result. */
#define KV_API KV_EXTERN_C KV_EXPORT

#endif
