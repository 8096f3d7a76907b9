// kovalink mifare acl decode HEX: access bits to a readable table.
#include "core/command.h"
#include "core/errors.h"
#include "core/options.h"
#include "mifare_access.h"

namespace {

class AclDecode : public kl::Command {
public:
    void define(CLI::App& app) override {
        kl::addHex(app, "BITS", bytes_, 3, 16, "access bytes 6-8 (3 bytes), bytes 6-9, or a whole 16-byte trailer")
            ->required();
        app.footer("A|B: either key; A or B: only that key; -: never. Groups 0-2 are the data blocks\n"
                   "(blocks 0-4, 5-9, 10-14 in the 16-block sectors of a 4K card), group 3 the trailer.");
    }

    void run(kl::Context& context) override {
        if (bytes_.size() != 3 && bytes_.size() != 4 && bytes_.size() != 16) {
            throw kl::usageError("give 3 or 4 access bytes, or a 16-byte trailer");
        }
        namespace mifare = common::mifare;
        using mifare::DataOp;
        using mifare::TrailerOp;
        const std::uint8_t* bits = bytes_.data() + (bytes_.size() == 16 ? 6 : 0);
        const mifare::Conditions c = mifare::conditionsOf(bits);
        const bool valid = mifare::accessConsistent(bits);
        kl::Json blocks = kl::Json::array();
        for (unsigned g = 0; g < 3; ++g) {
            blocks.push_back({{"group", g},
                              {"C1C2C3", mifare::conditionText(c[g])},
                              {"read", mifare::whoMay(c[g], DataOp::read)},
                              {"write", mifare::whoMay(c[g], DataOp::write)},
                              {"increment", mifare::whoMay(c[g], DataOp::increment)},
                              {"decrement_transfer_restore", mifare::whoMay(c[g], DataOp::decrement)}});
        }
        context.out["access_bytes"] = kl::toHex(bits, 3);
        context.out["valid"] = valid;
        context.out["data_blocks"] = blocks;
        context.out["trailer"] = kl::Json::array({{{"C1C2C3", mifare::conditionText(c[3])},
                                                   {"key_a_write", mifare::whoMay(c[3], TrailerOp::writeKeyA)},
                                                   {"access_read", mifare::whoMay(c[3], TrailerOp::readAccess)},
                                                   {"access_write", mifare::whoMay(c[3], TrailerOp::writeAccess)},
                                                   {"key_b_read", mifare::whoMay(c[3], TrailerOp::readKeyB)},
                                                   {"key_b_write", mifare::whoMay(c[3], TrailerOp::writeKeyB)}}});
        if (!valid) {
            throw kl::Failure(kl::kExitUsage, "the inverted copies of the access bits do not match: a card would "
                                              "treat this sector as unusable");
        }
    }

private:
    kl::Bytes bytes_;
};

}  // namespace

KL_COMMAND(AclDecode, "mifare acl decode", "show what access bytes allow, block group by block group")
