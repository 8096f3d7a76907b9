// Reading card options ("uid=E004...", "dump=file") and raw memory images,
// shared by the card types that keep plain block memory.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "cards/catalog.h"
#include "cards/toolkit.h"

namespace sim {

// Every function reads one option of a card type's options; an absent
// option leaves the output as it is and succeeds. A refused value gives
// false and a reason that names the option.

// False, with a reason, when an option other than `known` is given.
bool onlyOptions(const CardOptions& options, const std::vector<std::string>& known, std::string* why);

// Option `key` as hex of one of the `sizes` (in bytes) into *out.
bool hexOption(const CardOptions& options, const std::string& key, std::initializer_list<std::size_t> sizes, Bytes* out,
               std::string* why);

// Option `key` as hex of `min` to `max` bytes into *out.
bool hexOption(const CardOptions& options, const std::string& key, std::size_t min, std::size_t max, Bytes* out,
               std::string* why);

// Option `key` as a number from `min` to `max` into *out: decimal digits, or
// hex digits after 0x. Nothing else is taken (no sign, no space, no octal),
// so "auth0= 8", "+8" and "010" are refused or read as written.
bool numberOption(const CardOptions& options, const std::string& key, unsigned long min, unsigned long max,
                  unsigned long* out, std::string* why);

// A UID written most significant byte first, as people print it, stored in
// the order the chip sends it: least significant byte first.
Bytes reversed(Bytes bytes);

// Loads option "dump" (a raw memory image of exactly `size` bytes) into
// *image; an absent option leaves *image as it is and succeeds.
bool loadImage(const CardOptions& options, std::size_t size, Bytes* image, std::string* why);

// Writes a raw memory image.
bool saveImage(const std::string& path, const Bytes& image, std::string* why);

}  // namespace sim
