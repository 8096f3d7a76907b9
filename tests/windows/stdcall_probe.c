/* A DLL for the stdcall check's own test: stdcall_probe.h declares both
 * functions stdcall, but only `good` is compiled so; `bad` is cdecl and
 * returns without popping its arguments. */
int __stdcall good(int a, int b) { return a + b; }
int bad(int a, int b) { return a - b; }
