#include <dlfcn.h>

#include <cstdio>

#include "module.h"

namespace kv {
namespace modules {

Handle load(const std::string& path) { return ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL); }

void* symbol(Handle module, const char* name) { return module != nullptr ? ::dlsym(module, name) : nullptr; }

void unload(Handle module) {
    if (module != nullptr) ::dlclose(module);
}

std::string ownFolder() {
    Dl_info info{};
    if (::dladdr(reinterpret_cast<void*>(&ownFolder), &info) == 0 || info.dli_fname == nullptr) return ".";
    const std::string path = info.dli_fname;
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

std::vector<std::string> libraryFileNames(const std::string& name, int major) {
    return {"lib" + name + ".so", "lib" + name + ".so." + std::to_string(major)};
}

void reportFailure(const char* text) { std::fprintf(stderr, "%s\n", text); }

}  // namespace modules
}  // namespace kv
