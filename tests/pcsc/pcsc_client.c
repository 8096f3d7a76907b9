/*
 * A PC/SC client on libpcsclite against pcscd with the Kovalink driver and
 * readersim behind it. It drives readersim through the command pipe named
 * on the command line (place/remove) and checks what PC/SC applications
 * see: the readers, insertion and removal, ATRs, the class FF commands on
 * memory cards, and APDUs to processor cards, the contact slot and a SAM.
 *
 * Usage: pcsc_client <readersim command pipe>
 */
#include <PCSC/winscard.h>
#include <PCSC/wintypes.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#define MAX_READERS 16

static SCARDCONTEXT context;
static FILE* console;
static char reader_list[4096];
static const char* names[MAX_READERS];
static int reader_count;
static int failures;

#define CHECK(cond, ...)                              \
    do {                                              \
        if (!(cond)) {                                \
            fprintf(stderr, "FAIL %s:%d: ", __FILE__, __LINE__); \
            fprintf(stderr, __VA_ARGS__);             \
            fputc('\n', stderr);                      \
            ++failures;                               \
        }                                             \
    } while (0)

static void simulator(const char* line) {
    fprintf(console, "%s\n", line);
    fflush(console);
}

static int hex(const char* text, BYTE* out) {
    int n = 0;
    unsigned int byte;
    while (*text && sscanf(text, "%2x", &byte) == 1) {
        out[n++] = (BYTE)byte;
        text += 2;
        while (*text == ' ') ++text;
    }
    return n;
}

static void show(const char* label, const BYTE* data, DWORD length) {
    fprintf(stderr, "%s:", label);
    for (DWORD i = 0; i < length; ++i) fprintf(stderr, " %02X", data[i]);
    fputc('\n', stderr);
}

/* Reader name whose slot suffix is "00 0<slot>". */
static const char* slotReader(int slot) {
    char suffix[8];
    snprintf(suffix, sizeof suffix, "00 %02d", slot);
    for (int i = 0; i < reader_count; ++i) {
        size_t n = strlen(names[i]);
        if (n > 5 && strcmp(names[i] + n - 5, suffix) == 0) return names[i];
    }
    return NULL;
}

static void listReaders(void) {
    char* buffer = reader_list;
    DWORD length = sizeof reader_list;
    LONG rv = SCardListReaders(context, NULL, buffer, &length);
    CHECK(rv == SCARD_S_SUCCESS, "SCardListReaders: %s", pcsc_stringify_error(rv));
    for (char* p = buffer; rv == SCARD_S_SUCCESS && *p && reader_count < MAX_READERS; p += strlen(p) + 1) {
        names[reader_count++] = p;
    }
    /* Field, contact slot and six SAM slots. */
    CHECK(reader_count == 8, "expected 8 slots, found %d", reader_count);
    CHECK(slotReader(0) && strstr(slotReader(0), "Kovalink"), "no contactless slot");
}

/* Waits until the reader's state has (or lacks) SCARD_STATE_PRESENT; the ATR seen then. */
static int waitFor(const char* reader, int present, BYTE* atr, DWORD* atr_length) {
    SCARD_READERSTATE state;
    memset(&state, 0, sizeof state);
    state.szReader = reader;
    state.dwCurrentState = SCARD_STATE_UNAWARE;
    for (int round = 0; round < 20; ++round) {
        LONG rv = SCardGetStatusChange(context, 1000, &state, 1);
        if (rv != SCARD_S_SUCCESS && rv != SCARD_E_TIMEOUT) break;
        int now = (state.dwEventState & SCARD_STATE_PRESENT) != 0;
        if (now == present) {
            if (atr) {
                memcpy(atr, state.rgbAtr, state.cbAtr);
                *atr_length = state.cbAtr;
            }
            return 1;
        }
        state.dwCurrentState = state.dwEventState;
    }
    return 0;
}

static SCARDHANDLE connect(const char* reader) {
    SCARDHANDLE card = 0;
    DWORD protocol = 0;
    LONG rv = SCardConnect(context, reader, SCARD_SHARE_SHARED, SCARD_PROTOCOL_T0 | SCARD_PROTOCOL_T1, &card,
                           &protocol);
    CHECK(rv == SCARD_S_SUCCESS, "SCardConnect %s: %s", reader, pcsc_stringify_error(rv));
    return card;
}

/* Sends the APDU; the answer must start with `expect` (hex) and have `length` bytes (0: any). */
static void exchange(SCARDHANDLE card, const char* apdu_hex, const char* expect_hex, DWORD length) {
    BYTE apdu[300], answer[300], expect[300];
    DWORD answer_length = sizeof answer;
    const int n = hex(apdu_hex, apdu);
    const int e = hex(expect_hex, expect);
    const SCARD_IO_REQUEST* pci = SCARD_PCI_T1;
    DWORD protocol = 0, state = 0, atr_length = 0;
    SCardStatus(card, NULL, NULL, &state, &protocol, NULL, &atr_length);
    if (protocol == SCARD_PROTOCOL_T0) pci = SCARD_PCI_T0;
    LONG rv = SCardTransmit(card, pci, apdu, (DWORD)n, NULL, answer, &answer_length);
    CHECK(rv == SCARD_S_SUCCESS, "SCardTransmit %s: %s", apdu_hex, pcsc_stringify_error(rv));
    if (rv != SCARD_S_SUCCESS) return;
    int ok = answer_length >= (DWORD)e && memcmp(answer, expect, (size_t)e) == 0;
    if (length) ok = ok && answer_length == length;
    if (!ok) show(apdu_hex, answer, answer_length);
    CHECK(ok, "answer to %s does not start with %s (length %lu wanted)", apdu_hex, expect_hex,
          (unsigned long)length);
}

static void expectAtr(const BYTE* atr, DWORD length, const char* expect_hex) {
    BYTE expect[40];
    const int n = hex(expect_hex, expect);
    const int ok = length == (DWORD)n && memcmp(atr, expect, length) == 0;
    if (!ok) show("ATR", atr, length);
    CHECK(ok, "ATR is not %s", expect_hex);
}

static void disconnect(SCARDHANDLE card) { SCardDisconnect(card, SCARD_LEAVE_CARD); }

/* Places a card, waits for it, checks the ATR, returns a connection. */
static SCARDHANDLE insert(const char* spec, const char* atr_hex) {
    char line[160];
    BYTE atr[40];
    DWORD atr_length = 0;
    const char* field = slotReader(0);
    snprintf(line, sizeof line, "place %s", spec);
    simulator(line);
    CHECK(waitFor(field, 1, atr, &atr_length), "%s: insertion not seen", spec);
    if (atr_hex) expectAtr(atr, atr_length, atr_hex);
    return connect(field);
}

/* The contactless card is the third card in readersim's list, after the SAM and the contact card. */
static void removeCard(SCARDHANDLE card) {
    disconnect(card);
    simulator("remove 2");
    CHECK(waitFor(slotReader(0), 0, NULL, NULL), "removal not seen");
}

static void mifareClassic(void) {
    SCARDHANDLE card = insert("mifare1k:uid=11223344", "3B8F8001804F0CA000000306030001000000006A");
    exchange(card, "FFCA000000", "11223344 9000", 6);
    exchange(card, "FFCA000002", "6C04", 2);
    exchange(card, "FF82000006 FFFFFFFFFFFF", "9000", 2);
    exchange(card, "FF82000106 000000000000", "9000", 2);
    exchange(card, "FF86000005 0100 04 60 00", "9000", 2);
    exchange(card, "FFD6000410 00112233445566778899AABBCCDDEEFF", "9000", 2);
    exchange(card, "FFB0000410", "00112233445566778899AABBCCDDEEFF 9000", 18);
    /* The wrong key is refused; the right one works again at once. */
    exchange(card, "FF86000005 0100 08 60 01", "6300", 2);
    exchange(card, "FF86000005 0100 08 60 00", "9000", 2);
    exchange(card, "FFB0000810", "00000000000000000000000000000000 9000", 18);
    /* Value block: store 100, add 5, read 105 (most significant byte first). */
    exchange(card, "FFD7000805 00 00000064", "9000", 2);
    exchange(card, "FFD7000805 01 00000005", "9000", 2);
    exchange(card, "FFB1000804", "00000069 9000", 6);
    /* Not for memory cards, or not known. */
    exchange(card, "00A4040000", "6E00", 2);
    exchange(card, "FF12000000", "6D00", 2);
    removeCard(card);
}

static void ultralight(void) {
    SCARDHANDLE card = insert("ultralight:uid=04A1B2C3D4E5F6", "3B8F8001804F0CA0000003060300030000000068");
    exchange(card, "FFCA000000", "04A1B2C3D4E5F6 9000", 9);
    exchange(card, "FFD6000404 CAFEBABE", "9000", 2);
    exchange(card, "FFB0000404", "CAFEBABE 9000", 6);
    exchange(card, "FFB0000410", "CAFEBABE", 18);
    exchange(card, "FF86000005 0100 04 60 00", "6981", 2);
    removeCard(card);
}

static void processorCards(void) {
    SCARDHANDLE card = insert("cpu-a", "3B8480014B4F564116");
    exchange(card, "FFCA000000", "A1B2C3D4 9000", 6);
    exchange(card, "FFCA010000", "0978807002 4B4F5641 9000", 11);
    exchange(card, "0084000008", "", 10);
    removeCard(card);

    BYTE atr[40];
    DWORD atr_length = 0;
    simulator("place cpu-b:pupi=55667788");
    CHECK(waitFor(slotReader(0), 1, atr, &atr_length), "type B insertion not seen");
    /* 3B 88 80 01, application data and protocol info of the ATQB, MBLI, TCK. */
    BYTE tck = 0;
    for (DWORD i = 1; i < atr_length; ++i) tck ^= atr[i];
    CHECK(atr_length == 13 && atr[1] == 0x88 && atr[2] == 0x80 && atr[3] == 0x01 && tck == 0,
          "type B ATR malformed");
    card = connect(slotReader(0));
    exchange(card, "FFCA000000", "55667788 9000", 6);
    exchange(card, "0084000008", "", 10);
    removeCard(card);
}

static void contactSlots(void) {
    BYTE atr[40];
    DWORD atr_length = 0;
    CHECK(waitFor(slotReader(1), 1, atr, &atr_length), "no card in the contact slot");
    SCARDHANDLE card = connect(slotReader(1));
    exchange(card, "0084000008", "", 10);
    disconnect(card);
    CHECK(waitFor(slotReader(2), 1, atr, &atr_length), "no SAM in SAM slot 1");
    expectAtr(atr, atr_length, "3B1813 4B4F564153414D31");
    card = connect(slotReader(2));
    exchange(card, "0084000008", "", 10);
    disconnect(card);
    CHECK(waitFor(slotReader(3), 0, NULL, NULL), "SAM slot 2 should be empty");
}

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: pcsc_client <readersim command pipe>\n");
        return 2;
    }
    console = fopen(argv[1], "w");
    if (!console) {
        perror(argv[1]);
        return 2;
    }
    LONG rv = SCardEstablishContext(SCARD_SCOPE_SYSTEM, NULL, NULL, &context);
    if (rv != SCARD_S_SUCCESS) {
        fprintf(stderr, "SCardEstablishContext: %s\n", pcsc_stringify_error(rv));
        return 1;
    }
    listReaders();
    if (failures == 0) {
        CHECK(waitFor(slotReader(0), 0, NULL, NULL), "the field should start empty");
        mifareClassic();
        ultralight();
        processorCards();
        contactSlots();
    }
    SCardReleaseContext(context);
    fclose(console);
    fprintf(stderr, failures ? "%d failures\n" : "all passed\n", failures);
    return failures ? 1 : 0;
}
