/*
 * SAM slots and the contact card slot: reset, then APDUs by SAM number.
 * SAM numbers 0-5 are the SAM slots 1-6; number 6 is the large contact slot.
 *
 * Run it against the simulator:   readersim --card sam:slot=1 --card contact &
 */
#include "example.h"

#define SAM_SLOT_1 0
#define CONTACT_SLOT 6
#define RATE_9600 0

/* Resets a SAM (or the powered contact card) and prints its ATR. */
static void reset(const char* what, unsigned char sam_no) {
    const unsigned char param = (unsigned char)(sam_no << 4 | RATE_9600);
    unsigned char atr[252], atr_len = 0;
    check(what, rf_sam_rst_2(READER, &param, 1, atr, &atr_len));
    print_hex(what, atr, atr_len);
}

/* One APDU; the answer ends with the status word. */
static void apdu(const char* what, unsigned char sam_no, const unsigned char* command, unsigned char length) {
    unsigned char answer[252], answer_len = 0;
    check(what, rf_sam_cos_2(READER, sam_no, command, length, answer, &answer_len));
    print_hex(what, answer, answer_len);
    if (answer_len < 2 || answer[answer_len - 2] != 0x90) exit(EXIT_FAILURE);
}

int main(void) {
    static const unsigned char get_challenge[] = {0x00, 0x84, 0x00, 0x00, 0x04};
    static const unsigned char select_mf[] = {0x00, 0xA4, 0x00, 0x00, 0x02, 0x3F, 0x00};
    unsigned char present = 0;

    open_reader();

    /* SAM in slot 1: reset, then APDUs. */
    reset("SAM 1 ATR", SAM_SLOT_1);
    apdu("SAM 1 GET CHALLENGE", SAM_SLOT_1, get_challenge, sizeof get_challenge);

    /* Contact card: is one inserted? Power it, reset it, talk to it as SAM 6. */
    check("rf_ContactCpuCard_In_Check", rf_ContactCpuCard_In_Check(READER, &present));
    printf("contact card present: %u\n", present);
    if (!present) return EXIT_FAILURE;
    check("rf_ContactCpuCard_Power_OnOff", rf_ContactCpuCard_Power_OnOff(READER, 1));
    reset("contact ATR", CONTACT_SLOT);
    apdu("contact SELECT MF", CONTACT_SLOT, select_mf, sizeof select_mf);
    check("rf_ContactCpuCard_Power_OnOff", rf_ContactCpuCard_Power_OnOff(READER, 0));

    rf_ClosePort();
    return EXIT_SUCCESS;
}
