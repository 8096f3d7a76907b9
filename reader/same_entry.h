// A second exported name for an existing entry point. ELF: an alias of the
// function, defined in the same file. Windows: the export list's .def gives
// the second name to the same address, so here it is only declared.
#pragma once

#if defined(_WIN32)
#define KV_SAME_ENTRY_AS(name)
#else
#define KV_SAME_ENTRY_AS(name) __attribute__((alias(#name)))
#endif
