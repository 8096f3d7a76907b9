/*
 * An APDU session with a contactless processor card (ISO14443-4 type A),
 * also when a Mifare Classic card lies on the reader beside it.
 *
 * Run it against the simulator:   readersim --card mifare1k --card cpu-a &
 */
#include "example.h"

#define MODE_ALL 0x52   /* wakes idle and halted cards */
#define MODE_IDLE 0x26  /* wakes idle cards only */

/* Sends one APDU and prints the card's answer: data, then SW1 SW2. */
static void apdu(const char* what, const unsigned char* command, unsigned char length) {
    unsigned char answer[252], answer_len = 0;
    check(what, rf_cos_command(READER, command, length, answer, &answer_len));
    print_hex(what, answer, answer_len);
    if (answer_len < 2 || answer[answer_len - 2] != 0x90 || answer[answer_len - 1] != 0x00) {
        fprintf(stderr, "%s: the card answered an error status word\n", what);
        exit(EXIT_FAILURE);
    }
}

int main(void) {
    static const unsigned char select_mf[] = {0x00, 0xA4, 0x00, 0x00, 0x02, 0x3F, 0x00};
    static const unsigned char get_challenge[] = {0x00, 0x84, 0x00, 0x00, 0x08};
    unsigned char uid_ats[252], uid_ats_len = 0;
    int result, tries;

    open_reader();
    check("rf_antenna_sta", rf_antenna_sta(READER, 1));
    check("rf_init_type", rf_init_type(READER, 'A'));

    /* rf_typea_rst() wakes a card, selects it and sends RATS. When the
     * anticollision picks a memory card, RATS goes unanswered
     * (KV_STATUS_NO_ANSWER): halt that card and ask the idle cards again. */
    result = rf_typea_rst(READER, MODE_ALL, uid_ats, &uid_ats_len);
    for (tries = 0; result == KV_STATUS_NO_ANSWER && tries < 8; ++tries) {
        printf("a card without ISO14443-4 answered first: halting it\n");
        check("rf_halt", rf_halt(READER));
        result = rf_typea_rst(READER, MODE_IDLE, uid_ats, &uid_ats_len);
    }
    check("rf_typea_rst", result);
    print_hex("UID and ATS", uid_ats, uid_ats_len);

    /* APDUs go unchanged; an answer carries at most 250 data bytes + SW. */
    apdu("SELECT MF", select_mf, sizeof select_mf);
    apdu("GET CHALLENGE", get_challenge, sizeof get_challenge);

    /* End the session; the card returns to halt. */
    check("rf_cl_deselect", rf_cl_deselect(READER));
    rf_ClosePort();
    return EXIT_SUCCESS;
}
