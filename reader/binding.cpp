#include "binding.h"

#include "frame.h"
#include "module.h"

namespace kv {

namespace {
constexpr const char* kTransportName = "TavoHID";
constexpr int kTransportMajor = 1;
}  // namespace

CDllLoader::~CDllLoader() { modules::unload(m_module); }

bool CDllLoader::Load(const std::string& path) {
    m_module = modules::load(path);
    return m_module != nullptr;
}

void* CDllLoader::GetProc(const char* name) const { return modules::symbol(m_module, name); }

namespace {

template <typename Fn>
bool bind(const CDllLoader& loader, const char* name, Fn* slot) {
    *slot = reinterpret_cast<Fn>(loader.GetProc(name));
    return *slot != nullptr;
}

}  // namespace

CDllMstCom::CDllMstCom(const std::string& folder) {
    // The transport is always taken from this library's own folder, never
    // from the search path.
    bool ok = false;
    for (const std::string& file : modules::libraryFileNames(kTransportName, kTransportMajor)) {
        if ((ok = Load(folder + "/" + file))) break;
    }
    if (ok) {
        // Every export is looked up, so a partial binding can be told apart.
        const bool all[] = {
            bind(*this, "GetCOMDLLVersion", &GetCOMDLLVersion),
            bind(*this, "OpenComPort", &OpenComPort),
            bind(*this, "CloseComPort", &CloseComPort),
            bind(*this, "OpenLPTPort", &OpenLPTPort),
            bind(*this, "CloseLPTPort", &CloseLPTPort),
            bind(*this, "FreeComData", &FreeComData),
            bind(*this, "SetCommBaud", &SetCommBaud),
            bind(*this, "CommunicateRFResult", &CommunicateRFResult),
        };
        for (const bool found : all) ok = ok && found;
    }
    if (!ok) {
        modules::reportFailure("Load TavoHID.dll failed !");
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

std::string ownFolder() { return modules::ownFolder(); }

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
