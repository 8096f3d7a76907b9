/**
 * @file status.h
 * Names and texts for every result of the library: the reader's status
 * bytes, the library's own local results, and the step codes of the
 * composite card search. Header only: nothing here is exported by the
 * library, so it can be used from C, C++ or any language that reads the
 * table (the Python module is generated from it).
 *
 * A command's result is one of
 * - 0 (KV_STATUS_OK): success;
 * - 1 (KV_RESULT_LOCAL_FAILURE): failed on this side: an argument refused
 *   before sending, no reader open, no reply within the time-out (4 s), a
 *   rejected reply frame or a reply payload of the wrong length;
 * - 2-255: the reader's status byte, named below (KV_STATUS_...);
 * - negative: only rf_getlockcardinfo() (KV_SEARCH_..., the step that
 *   failed) and the CPU-card helpers' length refusal (KV_RESULT_TOO_LONG).
 *
 * kv_result_text() turns any result into a sentence; kv_status_text() gives
 * the text of a reader status byte or NULL for a byte no reader sends.
 *
 * rf_GetErrorMessage() is not a message: it returns an int, the status of
 * the last reply frame the process received (see reader_control.h).
 */
#ifndef KOVALINK_STATUS_H
#define KOVALINK_STATUS_H

/*
 * The reader's status bytes: X(C name, C++ name, value, text). Each card
 * family has its own range; 1 is never sent, because the library reports
 * its own failures as 1. The simulated reader, kovalink and the test
 * program all take their codes and texts from this one table, and the
 * build reads it for the Python module: one entry a line, and no ';' in a
 * text (CMake would split the line there).
 */
#define KV_READER_STATUS_TABLE(X) \
    X(KV_STATUS_OK, kOk, 0x00, "success")                                                                             \
    /* reader: 0x02-0x0F */                                                                                           \
    X(KV_STATUS_FRAME_ERROR, kFrameError, 0x02, "request frame rejected (checksum or length byte)")                   \
    X(KV_STATUS_UNKNOWN_COMMAND, kUnknownCommand, 0x03, "command code not supported by the reader")                   \
    X(KV_STATUS_BAD_LENGTH, kBadLength, 0x04, "request payload has the wrong length for the command")                 \
    X(KV_STATUS_BAD_PARAMETER, kBadParameter, 0x05, "parameter out of range")                                         \
    X(KV_STATUS_ANTENNA_OFF, kAntennaOff, 0x06, "antenna is off")                                                     \
    X(KV_STATUS_WRONG_CARD_TYPE, kWrongCardType, 0x07, "the selected card family does not support the command")       \
    X(KV_STATUS_FLASH_RANGE, kFlashRange, 0x08, "flash address out of range")                                         \
    X(KV_STATUS_FLASH_NOT_SAVED, kFlashNotSaved, 0x09, "the flash memory could not be saved and is unchanged")       \
    X(KV_STATUS_NO_CARD, kNoCard, 0x0A, "no card answered")                                                           \
    X(KV_STATUS_COLLISION, kCollision, 0x0B, "several cards answered and could not be told apart")                    \
    X(KV_STATUS_NOT_SELECTED, kNotSelected, 0x0C, "no card is selected")                                              \
    X(KV_STATUS_CARD_IO, kCardIo, 0x0D, "the card did not answer the operation")                                      \
    /* type A and Mifare: 0x10-0x2F */                                                                                \
    X(KV_STATUS_AUTH_FAILED, kAuthFailed, 0x10, "authentication failed")                                              \
    X(KV_STATUS_NOT_AUTHENTICATED, kNotAuthenticated, 0x11, "sector not authenticated")                               \
    X(KV_STATUS_ACCESS_DENIED, kAccessDenied, 0x12, "the access conditions forbid the operation")                     \
    X(KV_STATUS_VALUE_FORMAT, kValueFormat, 0x13, "block is not a valid value block")                                 \
    X(KV_STATUS_BLOCK_RANGE, kBlockRange, 0x14, "block or page out of range")                                         \
    X(KV_STATUS_LOCKED, kLocked, 0x15, "block or page is locked")                                                     \
    X(KV_STATUS_KEY_SLOT, kKeySlot, 0x16, "key slot empty or out of range")                                           \
    X(KV_STATUS_SECTOR_BLOCKED, kSectorBlocked, 0x17, "the sector's access bits are inconsistent: sector unusable")   \
    X(KV_STATUS_TRANSFER_EMPTY, kTransferEmpty, 0x18, "the transfer buffer holds no value")                           \
    X(KV_STATUS_VALUE_OVERFLOW, kValueOverflow, 0x19, "the value would leave the signed 32-bit range")                \
    X(KV_STATUS_NOT_SUPPORTED, kNotSupported, 0x1A, "the selected card does not support the command")                 \
    /* processor cards, SAM and contact slot: 0x30-0x3F */                                                            \
    X(KV_STATUS_NO_ANSWER, kNoAnswer, 0x30, "the card or module gave no answer")                                      \
    X(KV_STATUS_SLOT_EMPTY, kSlotEmpty, 0x31, "no card or module in the slot")                                        \
    X(KV_STATUS_PROTOCOL, kProtocol, 0x32, "protocol error while exchanging with the card")                           \
    X(KV_STATUS_NOT_ACTIVATED, kNotActivated, 0x33, "no processor card or module is activated")                       \
    X(KV_STATUS_NOT_POWERED, kNotPowered, 0x34, "the contact slot is not powered")                                    \
    /* ISO15693: 0x40-0x4F */                                                                                         \
    X(KV_STATUS_LABEL_ERROR, kLabelError, 0x40, "the label answered with an error flag")                              \
    X(KV_STATUS_LABEL_NOT_SUPPORTED, kLabelNotSupported, 0x41, "the label does not support or recognise the command") \
    X(KV_STATUS_LABEL_BLOCK_RANGE, kLabelBlockRange, 0x42, "the label has no such block")                             \
    X(KV_STATUS_LABEL_ALREADY_LOCKED, kLabelAlreadyLocked, 0x43, "the label's block or field is already locked")      \
    X(KV_STATUS_LABEL_LOCKED, kLabelLocked, 0x44, "the label's block or field is locked and cannot change")           \
    /* ST, AT88RF020 and FeliCa: 0x50-0x5F */                                                                         \
    X(KV_STATUS_CHIP_NOT_SELECTED, kChipNotSelected, 0x50, "no chip is selected")                                     \
    X(KV_STATUS_CHIP_BLOCK_RANGE, kChipBlockRange, 0x51, "the chip has no such block or page")                        \
    X(KV_STATUS_CHIP_LOCKED, kChipLocked, 0x52, "the block or page is locked or read-only")                           \
    X(KV_STATUS_COUNTER_UP, kCounterUp, 0x53, "a count-down counter cannot be increased")                             \
    X(KV_STATUS_PASSWORD_REQUIRED, kPasswordRequired, 0x54, "the password has not been presented")                    \
    X(KV_STATUS_PASSWORD_WRONG, kPasswordWrong, 0x55, "wrong password")                                               \
    X(KV_STATUS_PAGE_UNREADABLE, kPageUnreadable, 0x56, "the page can never be read")                                 \
    X(KV_STATUS_COUNTER_EXHAUSTED, kCounterExhausted, 0x57, "the counter has reached its end")

/** The reader's status bytes by name. */
enum kv_reader_status {
#define KV_STATUS_ENUM_ENTRY_(c_name, cpp_name, value, text) c_name = value,
    KV_READER_STATUS_TABLE(KV_STATUS_ENUM_ENTRY_)
#undef KV_STATUS_ENUM_ENTRY_
    KV_STATUS_TABLE_END_ = 0x100
};

/** Results that the library itself produces. */
enum kv_local_result {
    /** Refused before sending, no reader, time-out, rejected or wrong-length reply. */
    KV_RESULT_LOCAL_FAILURE = 1,
    /** CPU-card, PSAM and Wiegand helpers: a length above the function's limit; nothing sent. */
    KV_RESULT_TOO_LONG = -2
};

/** rf_getlockcardinfo(): which step of the card search failed. */
enum kv_card_search_result {
    KV_SEARCH_REQUEST_FAILED = -1,     /**< both rf_request() calls failed */
    KV_SEARCH_ANTICOLL_FAILED = -2,    /**< rf_anticoll() failed */
    KV_SEARCH_NOT_FOUR_BYTE_UID = -3,  /**< rf_anticoll() gave a UID that is not 4 bytes long */
    KV_SEARCH_SELECT_FAILED = -4,      /**< rf_select() failed */
    KV_SEARCH_UL_SELECT_FAILED = -5,   /**< rf_ul_select() failed (also on a card whose UID is not 7 bytes) */
    KV_SEARCH_NOT_SEVEN_BYTE_UID = -6  /**< rf_ul_select() gave a UID that is not 7 bytes long */
};

/**
 * The text of a reader status byte (0 and 2-255), or NULL for 1 and for
 * values the reader never sends.
 */
static inline const char* kv_status_text(int status) {
    switch (status) {
#define KV_STATUS_CASE_ENTRY_(c_name, cpp_name, value, text) \
    case value:                                            \
        return text;
        KV_READER_STATUS_TABLE(KV_STATUS_CASE_ENTRY_)
#undef KV_STATUS_CASE_ENTRY_
    default:
        return 0;
    }
}

/**
 * A sentence for any result of a command other than rf_getlockcardinfo()
 * (use kv_card_search_text() there); never NULL.
 */
static inline const char* kv_result_text(int result) {
    const char* text = kv_status_text(result);
    if (text) return text;
    if (result == KV_RESULT_LOCAL_FAILURE) {
        return "local failure: argument refused, no reader open, no reply, or a rejected or wrong-length reply";
    }
    if (result == KV_RESULT_TOO_LONG) return "a length above the function's limit; nothing was sent";
    if (result >= 2 && result <= 255) return "reader status not documented";
    return "not a result of this library";
}

/** A sentence for a result of rf_getlockcardinfo(); never NULL. */
static inline const char* kv_card_search_text(int result) {
    switch (result) {
    case KV_SEARCH_REQUEST_FAILED: return "no card answered the request (tried twice)";
    case KV_SEARCH_ANTICOLL_FAILED: return "anticollision failed";
    case KV_SEARCH_NOT_FOUR_BYTE_UID: return "anticollision gave a UID that is not 4 bytes long";
    case KV_SEARCH_SELECT_FAILED: return "select failed";
    case KV_SEARCH_UL_SELECT_FAILED: return "Ultralight select failed (a card without a 7-byte UID?)";
    case KV_SEARCH_NOT_SEVEN_BYTE_UID: return "Ultralight select gave a UID that is not 7 bytes long";
    default: return kv_result_text(result);
    }
}

#endif
