// Loading a shared library at run time, behind one small interface that
// each platform implements in its own file (module_posix.cpp: dlopen, dlsym,
// dladdr), so the binding itself stays free of platform calls.
#pragma once

#include <string>
#include <vector>

namespace kv {
namespace modules {

using Handle = void*;

// Loads the library file at `path`, resolving its own references now and
// keeping its symbols to itself; null when it cannot be loaded.
Handle load(const std::string& path);

// The address of the function that `module` exports as `name`, or null.
void* symbol(Handle module, const char* name);

// Frees a module that load() returned; null is ignored.
void unload(Handle module);

// The folder holding this library's own file; "." when it cannot be told.
std::string ownFolder();

// The file names a library called `name` with major version `major` may
// have in a folder, in the order to try them (here: libNAME.so, then
// libNAME.so.MAJOR, which is all an installation without the development
// link has).
std::vector<std::string> libraryFileNames(const std::string& name, int major);

// Tells the user that binding failed: the text on standard error (a message
// box where the platform has one).
void reportFailure(const char* text);

}  // namespace modules
}  // namespace kv
