// Status bytes the simulated reader answers with, and what each means. 0 is
// success; 1 is never used, because the library reports its own failures as
// 1. Each card family has its own range. The simulator answers with these
// codes; kovalink and the test program show their texts.
#pragma once

#include <cstdint>

namespace common {
namespace status {

#define READER_STATUS_TABLE(X)                                                                  \
    X(kOk, 0x00, "success")                                                                  \
    /* reader: 0x02-0x0F */                                                                  \
    X(kFrameError, 0x02, "request frame rejected (checksum or length byte)")                 \
    X(kUnknownCommand, 0x03, "command code not supported by the reader")                     \
    X(kBadLength, 0x04, "request payload has the wrong length for the command")              \
    X(kBadParameter, 0x05, "parameter out of range")                                         \
    X(kAntennaOff, 0x06, "antenna is off")                                                   \
    X(kWrongCardType, 0x07, "the selected card family does not support the command")         \
    X(kFlashRange, 0x08, "flash address out of range")                                       \
    X(kFlashNotSaved, 0x09, "the flash memory could not be saved; it is unchanged")          \
    X(kNoCard, 0x0A, "no card answered")                                                     \
    X(kCollision, 0x0B, "several cards answered and could not be told apart")                \
    X(kNotSelected, 0x0C, "no card is selected")                                             \
    X(kCardIo, 0x0D, "the card did not answer the operation")                                \
    /* type A and Mifare: 0x10-0x2F */                                                       \
    X(kAuthFailed, 0x10, "authentication failed")                                            \
    X(kNotAuthenticated, 0x11, "sector not authenticated")                                   \
    X(kAccessDenied, 0x12, "the access conditions forbid the operation")                     \
    X(kValueFormat, 0x13, "block is not a valid value block")                                \
    X(kBlockRange, 0x14, "block or page out of range")                                       \
    X(kLocked, 0x15, "block or page is locked")                                              \
    X(kKeySlot, 0x16, "key slot empty or out of range")                                      \
    X(kSectorBlocked, 0x17, "the sector's access bits are inconsistent: sector unusable")    \
    X(kTransferEmpty, 0x18, "the transfer buffer holds no value")                            \
    X(kValueOverflow, 0x19, "the value would leave the signed 32-bit range")                 \
    X(kNotSupported, 0x1A, "the selected card does not support the command")                 \
    /* processor cards, SAM and contact slot: 0x30-0x3F */                                   \
    X(kNoAnswer, 0x30, "the card or module gave no answer")                                  \
    X(kSlotEmpty, 0x31, "no card or module in the slot")                                     \
    X(kProtocol, 0x32, "protocol error while exchanging with the card")                      \
    X(kNotActivated, 0x33, "no processor card or module is activated")                      \
    X(kNotPowered, 0x34, "the contact slot is not powered")                                  \
    /* ISO15693: 0x40-0x4F */                                                                \
    X(kLabelError, 0x40, "the label answered with an error flag")                            \
    X(kLabelNotSupported, 0x41, "the label does not support or recognise the command")       \
    X(kLabelBlockRange, 0x42, "the label has no such block")                                 \
    X(kLabelAlreadyLocked, 0x43, "the label's block or field is already locked")             \
    X(kLabelLocked, 0x44, "the label's block or field is locked and cannot change")          \
    /* ST, AT88RF020 and FeliCa: 0x50-0x5F */                                                \
    X(kChipNotSelected, 0x50, "no chip is selected")                                         \
    X(kChipBlockRange, 0x51, "the chip has no such block or page")                           \
    X(kChipLocked, 0x52, "the block or page is locked or read-only")                         \
    X(kCounterUp, 0x53, "a count-down counter cannot be increased")                          \
    X(kPasswordRequired, 0x54, "the password has not been presented")                        \
    X(kPasswordWrong, 0x55, "wrong password")                                                \
    X(kPageUnreadable, 0x56, "the page can never be read")                                   \
    X(kCounterExhausted, 0x57, "the counter has reached its end")

enum Status : std::uint8_t {
#define READER_STATUS_ENUM(name, value, text) name = value,
    READER_STATUS_TABLE(READER_STATUS_ENUM)
#undef READER_STATUS_ENUM
};

}  // namespace status

// The meaning of a status byte, or null for values the reader never sends.
inline const char* statusText(std::uint8_t code) {
    switch (code) {
#define READER_STATUS_CASE(name, value, text) \
    case value:                               \
        return text;
        READER_STATUS_TABLE(READER_STATUS_CASE)
#undef READER_STATUS_CASE
    default:
        return nullptr;
    }
}

}  // namespace common
