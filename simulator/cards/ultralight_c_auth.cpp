#include "cards/ultralight_c_auth.h"

#include <algorithm>
#include <random>

#include "cards/ultralight.h"
#include "cards/toolkit.h"

namespace sim {
namespace ulc {

Bytes encryptCbc(const kv::des::Key& key, Block& iv, const Bytes& plain) {
    Bytes out(plain.size());
    for (std::size_t at = 0; at + 8 <= plain.size(); at += 8) {
        std::uint8_t block[8];
        for (int i = 0; i < 8; ++i) block[i] = static_cast<std::uint8_t>(plain[at + i] ^ iv[i]);
        kv::des::encrypt(key, block, out.data() + at);
        std::copy_n(out.begin() + static_cast<std::ptrdiff_t>(at), 8, iv.begin());
    }
    return out;
}

Bytes decryptCbc(const kv::des::Key& key, Block& iv, const Bytes& cipher) {
    Bytes out(cipher.size());
    for (std::size_t at = 0; at + 8 <= cipher.size(); at += 8) {
        kv::des::decrypt(key, cipher.data() + at, out.data() + at);
        for (int i = 0; i < 8; ++i) out[at + i] ^= iv[i];
        std::copy_n(cipher.begin() + static_cast<std::ptrdiff_t>(at), 8, iv.begin());
    }
    return out;
}

Bytes rotated(const Bytes& bytes) {
    Bytes out(bytes);
    if (!out.empty()) std::rotate(out.begin(), out.begin() + 1, out.end());
    return out;
}

Bytes randomBlock() {
    thread_local std::mt19937 random{std::random_device{}()};
    Bytes block(8);
    for (auto& b : block) b = static_cast<std::uint8_t>(random());
    return block;
}

std::uint8_t readerAuthenticate(UltralightCard& tag, const std::uint8_t* key16) {
    const kv::des::Key key = kv::des::makeKey(key16, 16);
    Bytes challenge;
    if (const std::uint8_t status = tag.ulcChallenge(&challenge)) return status;
    Block iv{};
    const Bytes rnd_b = decryptCbc(key, iv, challenge);
    const Bytes rnd_a = randomBlock();
    Bytes response = rnd_a;
    const Bytes rotated_b = rotated(rnd_b);
    response.insert(response.end(), rotated_b.begin(), rotated_b.end());
    response = encryptCbc(key, iv, response);
    Bytes proof;
    if (const std::uint8_t status = tag.ulcConfirm(response, &proof)) return status;
    // The tag knew the key too: it returns RndA rotated.
    return decryptCbc(key, iv, proof) == rotated(rnd_a) ? kOk : kAuthFailed;
}

}  // namespace ulc
}  // namespace sim
