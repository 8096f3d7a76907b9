/* A TavoHID.dll that lacks CommunicateRFResult: the command library must
 * refuse to bind it as a whole. */
int __stdcall GetCOMDLLVersion(void) { return 2; }
int __stdcall OpenComPort(int vendor_id, int product_id) { return vendor_id + product_id > 0; }
int __stdcall CloseComPort(void) { return 1; }
int __stdcall OpenLPTPort(int port, int mode) { return port + mode == -1; }
int __stdcall CloseLPTPort(void) { return 0; }
int __stdcall FreeComData(void* block) { return block != 0; }
int __stdcall SetCommBaud(int baud) { return baud == -1; }
