// Opening and closing the reader, the last status and the version.
#include <cstdlib>

#include "KovalinkHID.h"
#include "binding.h"
#include "frame.h"
#include "kovalink/version.h"

using kv::transport;

KV_API int KV_STDCALL rf_init_com(int, int vendor_id, int product_id) {
    kv::CDllMstCom* link = transport();
    if (link == nullptr) return 1;
    return link->OpenComPort(vendor_id, product_id) == 1 ? 0 : 1;
}

KV_API int KV_STDCALL rf_ClosePort(void) {
    if (kv::CDllMstCom* link = transport()) link->CloseComPort();
    return 0;
}

KV_API int KV_STDCALL rf_GetErrorMessage(void) { return kv::g_lastStatus; }

KV_API int KV_STDCALL rf_free(void* block) {
    std::free(block);
    return 0;
}

KV_API int KV_STDCALL lib_ver(int* version) {
    if (version == nullptr) return 1;
    *version = KOVALINKHID_LIB_VER;
    return 0;
}
