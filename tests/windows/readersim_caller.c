/* A Windows program against readersim (TCP endpoint, reached from wine):
 * binds KovalinkHID.dll with GetProcAddress as stdcall and runs reader
 * control and Mifare commands on the card the test put on the antenna
 * (mifare1k, uid A1B2C3D4, default keys). Exits 0 when every check passes. */
#include <stdio.h>
#include <string.h>
#include <windows.h>

typedef int(__stdcall* InitComFn)(int, int, int);
typedef int(__stdcall* ModelFn)(int, unsigned char*);
typedef int(__stdcall* BeepFn)(int, int);
typedef int(__stdcall* RequestFn)(int, int, unsigned char*);
typedef int(__stdcall* AnticollFn)(int, int, unsigned char*, unsigned char*);
typedef int(__stdcall* SelectFn)(int, const unsigned char*, int, unsigned char*);
typedef int(__stdcall* AuthFn)(int, int, int, const unsigned char*);
typedef int(__stdcall* ReadFn)(int, int, unsigned char*, unsigned char*);
typedef int(__stdcall* CloseFn)(void);

static int failures = 0;

static void check(int ok, const char* what) {
    printf("%s: %s\n", ok ? "ok" : "FAILED", what);
    if (!ok) ++failures;
}

#define BIND(type, name) type name = (type)(void*)GetProcAddress(library, #name)

int main(void) {
    HMODULE library = LoadLibraryA("KovalinkHID.dll");
    if (library == NULL) return 1;
    BIND(InitComFn, rf_init_com);
    BIND(ModelFn, rf_get_model);
    BIND(BeepFn, rf_beep);
    BIND(RequestFn, rf_request);
    BIND(AnticollFn, rf_anticoll);
    BIND(SelectFn, rf_select);
    BIND(AuthFn, rf_M1_authentication2);
    BIND(ReadFn, rf_M1_read);
    BIND(CloseFn, rf_ClosePort);
    if (!(rf_init_com && rf_get_model && rf_beep && rf_request && rf_anticoll && rf_select &&
          rf_M1_authentication2 && rf_M1_read && rf_ClosePort)) {
        printf("FAILED: binding\n");
        return 1;
    }
    const unsigned char uid_expected[4] = {0xA1, 0xB2, 0xC3, 0xD4};
    const unsigned char key[6] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    unsigned char model[2] = {0}, tag_type[2] = {0}, uid[10] = {0}, uid_len = 0, sak = 0, block[16] = {0},
                  block_len = 0;

    check(rf_init_com(0, 0x1A86, 0xE010) == 0, "rf_init_com opens the reader");
    check(rf_get_model(0, model) == 0 && model[0] == 0x4B && model[1] == 0x36, "rf_get_model gives 4B 36");
    check(rf_beep(0, 10) == 0, "rf_beep");
    check(rf_request(0, 0x52, tag_type) == 0 && tag_type[0] == 0x04 && tag_type[1] == 0x00,
          "rf_request: ATQA of a Mifare 1K");
    check(rf_anticoll(0, 4, uid, &uid_len) == 0 && uid_len == 4 && memcmp(uid, uid_expected, 4) == 0,
          "rf_anticoll gives the uid");
    check(rf_select(0, uid, 4, &sak) == 0 && sak == 0x08, "rf_select: SAK 08");
    check(rf_M1_authentication2(0, 0x60, 0, key) == 0, "key A authenticates sector 0");
    /* Block 0: the uid and its check byte A1^B2^C3^D4 = 04. */
    check(rf_M1_read(0, 0, block, &block_len) == 0 && block_len == 16 && memcmp(block, uid_expected, 4) == 0 &&
              block[4] == 0x04,
          "rf_M1_read block 0: uid and BCC");
    check(rf_ClosePort() == 0, "rf_ClosePort");
    check(rf_beep(0, 10) == 1, "after closing, commands fail with 1");
    FreeLibrary(library);
    return failures == 0 ? 0 : 1;
}
