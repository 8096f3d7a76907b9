/* Export and calling-convention markers of the reader libraries. */
#ifndef KV_API_H
#define KV_API_H

#if defined(_WIN32) && !defined(_WIN64)
#define KV_STDCALL __stdcall
#else
#define KV_STDCALL
#endif

#if defined(_WIN32)
#define KV_EXPORT __declspec(dllexport)
#else
#define KV_EXPORT __attribute__((visibility("default")))
#endif

#endif
