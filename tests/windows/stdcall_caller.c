/* A caller as a Windows program writes one: it loads KovalinkHID.dll by name
 * from its folder, binds exports with GetProcAddress and calls them through
 * stdcall pointers. On 32-bit x86 a wrong convention or a decorated name
 * shows here first. Without a reader, the transport's calls fail cleanly.
 * With the argument "unbound" the library beside it has no usable
 * transport: commands must fail with 1 instead of calling through null.
 * Exits 0 when every check passes; prints what failed otherwise. */
#include <stdio.h>
#include <string.h>
#include <windows.h>

typedef int(__stdcall* LibVerFn)(int*);
typedef int(__stdcall* DesFn)(unsigned char*, unsigned char*, int, const unsigned char*, int);
typedef int(__stdcall* InitComFn)(int, int, int);
typedef int(__stdcall* BeepFn)(int, int);
typedef int(__stdcall* NoArgsFn)(void);

static int failures = 0;

static void check(int ok, const char* what) {
    if (!ok) {
        printf("FAILED: %s\n", what);
        ++failures;
    }
}

int main(int argc, char** argv) {
    const int unbound = argc > 1 && strcmp(argv[1], "unbound") == 0;
    HMODULE library = LoadLibraryA("KovalinkHID.dll");
    if (library == NULL) {
        printf("FAILED: KovalinkHID.dll does not load (error %lu)\n", GetLastError());
        return 1;
    }
    LibVerFn lib_ver = (LibVerFn)(void*)GetProcAddress(library, "lib_ver");
    DesFn des_encrypt = (DesFn)(void*)GetProcAddress(library, "des_encrypt");
    DesFn des_decrypt = (DesFn)(void*)GetProcAddress(library, "des_decrypt");
    InitComFn rf_init_com = (InitComFn)(void*)GetProcAddress(library, "rf_init_com");
    BeepFn rf_beep = (BeepFn)(void*)GetProcAddress(library, "rf_beep");
    NoArgsFn rf_ClosePort = (NoArgsFn)(void*)GetProcAddress(library, "rf_ClosePort");
    FARPROC halt = GetProcAddress(library, "rf_halt");
    FARPROC halt_again = GetProcAddress(library, "rf_M1_Halt_same_K62TX");
    check(lib_ver && des_encrypt && des_decrypt && rf_init_com && rf_beep && rf_ClosePort, "binding by name");
    check(halt != NULL && halt == halt_again, "rf_M1_Halt_same_K62TX is rf_halt");
    check(GetProcAddress(library, "lib_ver@4") == NULL, "no decorated names");
    check((FARPROC)(void*)lib_ver == GetProcAddress(library, MAKEINTRESOURCEA(1)), "lib_ver is ordinal 1");
    if (failures != 0) return 1;

    int version = 0;
    check(lib_ver(&version) == 0 && version == 19, "lib_ver writes 19");
    check(lib_ver(NULL) == 1, "lib_ver refuses a null pointer");
    if (unbound) {
        check(rf_init_com(0, 0x1A86, 0xE010) == 1, "rf_init_com without a transport gives 1");
        check(rf_beep(0, 10) == 1, "a command without a transport gives 1");
        check(rf_ClosePort() == 0, "rf_ClosePort without a transport gives 0");
        FreeLibrary(library);
        printf("%s\n", failures == 0 ? "all checks passed" : "some checks failed");
        return failures == 0 ? 0 : 1;
    }

    /* The classic DES vector: key 133457799BBCDFF1, 0123456789ABCDEF
     * encrypts to 85E813540F0AB405. */
    const unsigned char key[8] = {0x13, 0x34, 0x57, 0x79, 0x9B, 0xBC, 0xDF, 0xF1};
    unsigned char plain[8] = {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF};
    const unsigned char expected[8] = {0x85, 0xE8, 0x13, 0x54, 0x0F, 0x0A, 0xB4, 0x05};
    unsigned char cipher[8] = {0};
    unsigned char back[8] = {0};
    check(des_encrypt(cipher, plain, 8, key, 8) == 0 && memcmp(cipher, expected, 8) == 0, "des_encrypt vector");
    check(des_decrypt(back, cipher, 8, key, 8) == 0 && memcmp(back, plain, 8) == 0, "des_decrypt vector");

    /* No reader with these ids: 1, and the stack is still balanced after
     * the three-argument call (a convention mismatch corrupts it here). */
    check(rf_init_com(0, 0xFFFE, 0xFFFD) == 1, "rf_init_com without a reader gives 1");
    check(rf_beep(0, 10) == 1, "a command without an open reader gives 1");
    check(rf_ClosePort() == 0, "rf_ClosePort gives 0");

    FreeLibrary(library);
    printf("%s\n", failures == 0 ? "all checks passed" : "some checks failed");
    return failures == 0 ? 0 : 1;
}
