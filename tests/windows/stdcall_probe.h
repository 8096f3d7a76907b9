/* What the stdcall check reads: both functions declared stdcall. */
KV_API int KV_STDCALL good(int a, int b);
KV_API int KV_STDCALL bad(int a, int b);
