/* Export and calling-convention markers of the reader libraries. */
#ifndef KV_API_H
#define KV_API_H

#if defined(_WIN32) && !defined(_WIN64)
#define KV_STDCALL __stdcall
#else
#define KV_STDCALL
#endif

/* Windows: the module-definition file built from each library's export
 * list makes the export table, under undecorated names and fixed ordinals;
 * __declspec(dllexport) would add decorated duplicates on 32-bit x86. */
#if defined(_WIN32)
#define KV_EXPORT
#else
#define KV_EXPORT __attribute__((visibility("default")))
#endif

#endif
