// What a card says when it is activated, in words: the ATS of a type A
// processor card (ISO 14443-4) and the ATR of a contact card or SAM
// (ISO 7816-3).
#pragma once

#include <nlohmann/json.hpp>

#include "core/bytes.h"

namespace kl::apdu {

using AnswerJson = nlohmann::ordered_json;

// The answer of rf_typea_rst (UID, then the ATS, whose first byte is its
// length) split and decoded: uid, ats, fsc, ta/tb/tc fields, historical bytes.
AnswerJson decodeUidAndAts(const Bytes& answer);

// An ATS alone.
AnswerJson decodeAts(const Bytes& ats);

// An ATR: convention, protocols offered, interface bytes, historical bytes;
// "valid": false with "problem" when it is cut short or its check byte is wrong.
AnswerJson decodeAtr(const Bytes& atr);

}  // namespace kl::apdu
