// kovalink mifare trailer SECTOR: writes a sector trailer built from its
// parts, then reads it back with the new keys to verify it.
#include <algorithm>

#include "card.h"
#include "core/data_hex.h"
#include "core/errors.h"
#include "core/options.h"
#include "mifare_access.h"
#include "trailer_guard.h"

namespace {

using kl::Bytes;
namespace cm = common::mifare;

class Trailer : public kl::Command {
public:
    void define(CLI::App& app) override {
        kl::addNumber(app, "SECTOR", sector_, 0, 39, "the sector whose trailer is written")->required();
        kl::addHex(app, "--new-key-a", new_a_, kl::mifare::kKeySize, "the new key A")->required();
        kl::addHex(app, "--new-key-b", new_b_, kl::mifare::kKeySize, "the new key B")->required();
        app.add_option("--access", access_, "C1C2C3 of groups 0, 1, 2 and the trailer (default 000 000 000 001)")
            ->expected(4)
            ->check(CLI::IsMember({"000", "001", "010", "011", "100", "101", "110", "111"}));
        kl::addNumber(app, "--user-byte", user_byte_, 0, 255, "trailer byte 9, free for the user (default 0x69)");
        app.add_flag("--force", force_, "write conditions under which no key may change the access bits again");
        key_.define(app);
        app.footer("-k/-b give the key that opens the sector now. After the write the trailer is read back\n"
                   "with the new key A, its access bits compared, and key B checked (read back where the\n"
                   "conditions make it readable, otherwise by authenticating with it). The conditions are\n"
                   "those of 'mifare acl encode'; the trailer condition 001 is the delivery state.");
    }

    void run(kl::Context& context) override {
        cm::Conditions conditions{0, 0, 0, 1};
        for (std::size_t g = 0; g < access_.size(); ++g) {
            conditions[g] = static_cast<std::uint8_t>(std::stoul(access_[g], nullptr, 2));
        }
        const auto bits = cm::encodeAccess(conditions);
        Bytes trailer = new_a_;
        trailer.insert(trailer.end(), bits.begin(), bits.end());
        trailer.push_back(static_cast<std::uint8_t>(user_byte_));
        trailer.insert(trailer.end(), new_b_.begin(), new_b_.end());
        const unsigned sector = static_cast<unsigned>(sector_);
        const std::string why = kl::mifare::trailerRefusal(trailer.data(), sector, force_);
        if (!why.empty()) throw kl::usageError(why + "; nothing was written");

        kl::mifare::Card card(context);
        const auto& id = card.search();
        if (sector >= id.layout.sectors) {
            throw kl::usageError("sector " + std::to_string(sector) + " is outside this " + id.type + "; nothing was written");
        }
        const unsigned block = id.layout.trailer(sector);
        card.authenticate(block, key_.type(), key_.key);
        card.write(block, trailer);
        context.out["sector"] = sector;
        context.out["block"] = block;
        context.out["written"] = kl::dataHex(context.out, trailer);
        verify(context, card, block, trailer, conditions);
    }

private:
    // Reads the trailer back with the new key A and checks the access bytes and key B.
    void verify(kl::Context& context, kl::mifare::Card& card, unsigned block, const Bytes& trailer,
                const cm::Conditions& conditions) {
        card.search();  // a new authentication starts from a freshly selected card
        std::string problem;
        std::optional<Bytes> back;
        if (!card.tryAuthenticate(block, kl::mifare::kKeyA, new_a_)) {
            problem = "the new key A does not open the sector";
        } else if (!(back = card.tryRead(block))) {
            problem = "the trailer cannot be read back with the new key A";
        } else if (!std::equal(trailer.begin() + 6, trailer.begin() + 10, back->begin() + 6)) {
            problem = "the access bytes read back are " + kl::toHex(back->data() + 6, 4);
        } else if (cm::keyBReadable(conditions[3])) {
            if (!std::equal(trailer.begin() + 10, trailer.end(), back->begin() + 10)) problem = "key B reads back differently";
        } else if (!card.tryAuthenticate(block, kl::mifare::kKeyB, new_b_)) {
            problem = "the new key B does not open the sector";
        }
        context.out["verified"] = problem.empty();
        if (!problem.empty()) throw kl::Failure(kl::kExitReaderStatus, "trailer written but not verified: " + problem);
    }

    int sector_ = 0;
    Bytes new_a_, new_b_;
    std::vector<std::string> access_;
    unsigned user_byte_ = 0x69;
    bool force_ = false;
    kl::mifare::KeyChoice key_;
};

}  // namespace

KL_COMMAND(Trailer, "mifare trailer", "write a sector trailer from keys and access conditions, and verify it")
