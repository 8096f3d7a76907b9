// The run-time binding of the transport library, created when this library
// is loaded and destroyed when it is unloaded.
#pragma once

#include <string>

#include "kv_api.h"

namespace kv {

class CDllLoader {
public:
    CDllLoader() = default;
    virtual ~CDllLoader();
    CDllLoader(const CDllLoader&) = delete;
    CDllLoader& operator=(const CDllLoader&) = delete;

    bool Load(const std::string& path);
    void* GetProc(const char* name) const;
    bool loaded() const { return m_module != nullptr; }

protected:
    void* m_module = nullptr;
};

class CDllMstCom : public CDllLoader {
public:
    using VersionFn = int(KV_STDCALL*)();
    using OpenFn = int(KV_STDCALL*)(int, int);
    using CloseFn = int(KV_STDCALL*)();
    using OpenLptFn = int(KV_STDCALL*)(int, int);
    using CloseLptFn = int(KV_STDCALL*)();
    using CommunicateFn = int(KV_STDCALL*)(const unsigned char*, unsigned int, unsigned char*, int*);
    using FreeFn = int(KV_STDCALL*)(void*);
    using BaudFn = int(KV_STDCALL*)(int);

    // Binds the transport from `folder` (this library's own folder).
    explicit CDllMstCom(const std::string& folder);

    bool bound() const { return CommunicateRFResult != nullptr; }

    VersionFn GetCOMDLLVersion = nullptr;
    OpenFn OpenComPort = nullptr;
    CloseFn CloseComPort = nullptr;
    OpenLptFn OpenLPTPort = nullptr;
    CloseLptFn CloseLPTPort = nullptr;
    CommunicateFn CommunicateRFResult = nullptr;
    FreeFn FreeComData = nullptr;
    BaudFn SetCommBaud = nullptr;
};

// Owner of one object through its base.
class CPPDATE_TYPE {
public:
    CPPDATE_TYPE() = default;
    virtual ~CPPDATE_TYPE() { reset(); }
    CPPDATE_TYPE(const CPPDATE_TYPE&) = delete;
    CPPDATE_TYPE& operator=(const CPPDATE_TYPE&) = delete;

    CDllMstCom* get() const { return m_object; }
    void reset(CDllMstCom* object = nullptr) {
        delete m_object;
        m_object = object;
    }

private:
    CDllMstCom* m_object = nullptr;
};

extern CPPDATE_TYPE g_transport;

// The bound transport, or null when binding failed.
CDllMstCom* transport();

// The folder holding this library's own file.
std::string ownFolder();

}  // namespace kv
