// kovalink mifare acl encode C0 C1 C2 C3: conditions to access bytes.
#include "core/command.h"
#include "mifare_access.h"

namespace {

class AclEncode : public kl::Command {
public:
    void define(CLI::App& app) override {
        app.add_option("CONDITIONS", texts_, "C1C2C3 of groups 0, 1, 2 and the trailer, e.g. 000 000 000 001")
            ->required()
            ->expected(4)
            ->check(CLI::IsMember({"000", "001", "010", "011", "100", "101", "110", "111"}));
        app.footer("000 000 000 001 gives FF0780, the delivery state. 'acl decode' shows what each means.");
    }

    void run(kl::Context& context) override {
        common::mifare::Conditions c{};
        for (std::size_t g = 0; g < 4; ++g) c[g] = static_cast<std::uint8_t>(std::stoul(texts_[g], nullptr, 2));
        const auto bytes = common::mifare::encodeAccess(c);
        context.out["access_bytes"] = kl::toHex(bytes.data(), bytes.size());
    }

private:
    std::vector<std::string> texts_;
};

}  // namespace

KL_COMMAND(AclEncode, "mifare acl encode", "turn access conditions into the three access bytes")
