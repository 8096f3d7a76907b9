// The exported entry points of libTavoHID.so.
#include <cstdlib>

#include "TavoHID.h"
#include "port.h"

extern "C" {

int nTavoHID = 0;

KV_EXPORT int KV_STDCALL OpenComPort(int vendor_id, int product_id) {
    return tavo::processPort().open(static_cast<std::uint16_t>(vendor_id), static_cast<std::uint16_t>(product_id))
               ? 1
               : 0;
}

KV_EXPORT int KV_STDCALL CloseComPort(void) {
    tavo::processPort().close();
    return 1;
}

KV_EXPORT int KV_STDCALL CommunicateRFResult(const unsigned char* request, unsigned int request_length,
                                             unsigned char* reply, int* reply_length) {
    return tavo::processPort().communicate(request, request_length, reply, reply_length);
}

KV_EXPORT int KV_STDCALL GetCOMDLLVersion(void) { return 2; }
KV_EXPORT int KV_STDCALL OpenLPTPort(int, int) { return 0; }
KV_EXPORT int KV_STDCALL CloseLPTPort(void) { return 0; }
KV_EXPORT int KV_STDCALL SetCommBaud(int) { return 0; }

KV_EXPORT int KV_STDCALL FreeComData(void* block) {
    std::free(block);
    return 0;
}

KV_EXPORT int KV_STDCALL fnTavoHID(void) { return 42; }

}  // extern "C"

CTavoHID::CTavoHID() = default;
CTavoHID& CTavoHID::operator=(const CTavoHID&) = default;
