#include "binding.h"

#include <dlfcn.h>

#include <cstdio>

#include "frame.h"

namespace kv {

const char* const kTransportFile = "libTavoHID.so";
// Installed without the development link, only the versioned name is there.
const char* const kTransportVersionedFile = "libTavoHID.so.1";

CDllLoader::~CDllLoader() {
    if (m_module != nullptr) ::dlclose(m_module);
}

bool CDllLoader::Load(const std::string& path) {
    m_module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    return m_module != nullptr;
}

void* CDllLoader::GetProc(const char* name) const {
    return m_module != nullptr ? ::dlsym(m_module, name) : nullptr;
}

namespace {

template <typename Fn>
bool bind(const CDllLoader& module, const char* name, Fn* slot) {
    *slot = reinterpret_cast<Fn>(module.GetProc(name));
    return *slot != nullptr;
}

}  // namespace

CDllMstCom::CDllMstCom(const std::string& folder) {
    bool ok = Load(folder + "/" + kTransportFile) || Load(folder + "/" + kTransportVersionedFile);
    if (ok) {
        // Every export is looked up, so a partial binding can be told apart.
        const bool all[] = {
            bind(*this, "GetCOMDLLVersion", &GetCOMDLLVersion), bind(*this, "OpenComPort", &OpenComPort),
            bind(*this, "CloseComPort", &CloseComPort),         bind(*this, "OpenLPTPort", &OpenLPTPort),
            bind(*this, "CloseLPTPort", &CloseLPTPort),         bind(*this, "FreeComData", &FreeComData),
            bind(*this, "SetCommBaud", &SetCommBaud),           bind(*this, "CommunicateRFResult", &CommunicateRFResult),
        };
        for (const bool found : all) ok = ok && found;
    }
    if (!ok) {
        std::fputs("Load TavoHID.dll failed !\n", stderr);
        GetCOMDLLVersion = nullptr;
        OpenComPort = nullptr;
        CloseComPort = nullptr;
        OpenLPTPort = nullptr;
        CloseLPTPort = nullptr;
        CommunicateRFResult = nullptr;
        FreeComData = nullptr;
        SetCommBaud = nullptr;
    }
}

std::string ownFolder() {
    Dl_info info{};
    if (::dladdr(reinterpret_cast<void*>(&ownFolder), &info) == 0 || info.dli_fname == nullptr) return ".";
    std::string path = info.dli_fname;
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

CPPDATE_TYPE g_transport;

CDllMstCom* transport() {
    CDllMstCom* binding = g_transport.get();
    return binding != nullptr && binding->bound() ? binding : nullptr;
}

namespace {

// The library's life in the process: bind the transport when loaded, free
// it when unloaded. Defined after g_transport so it is built after it and
// destroyed before it.
class CKovalinkApp {
public:
    CKovalinkApp() {
        g_lastStatus = 0;
        InitInstance();
    }
    ~CKovalinkApp() { ExitInstance(); }

private:
    void InitInstance() { g_transport.reset(new CDllMstCom(ownFolder())); }
    void ExitInstance() { g_transport.reset(); }
};

CKovalinkApp theApp;

}  // namespace

}  // namespace kv
