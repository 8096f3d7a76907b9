// kovalink raw CODE [HEX]: any command code through door_acess, with the
// reply body decoded.
#include <cstdio>

#include "KovalinkHID.h"
#include "core/data_hex.h"
#include "core/command.h"
#include "core/errors.h"
#include "core/options.h"

namespace {

class Raw : public kl::Command {
public:
    void define(CLI::App& app) override {
        kl::addNumber(app, "CODE", code_, 0, 255, "command code, e.g. 0x16")->required();
        kl::addHex(app, "DATA", data_, 0, 252, "request payload in hex (up to 252 bytes)");
        app.footer("Prints the reply body field by field: address, length, byte 3, status (with its\n"
                   "meaning), payload and checksum. Exit code 5 when the status is not 0, 4 when no\n"
                   "valid reply body came back.");
    }

    void run(kl::Context& context) override {
        unsigned char body[258 + 8] = {};
        const auto length = static_cast<unsigned char>(data_.size());
        context.reader.call("door_acess", [&] {
            return door_acess(context.reader.address(), code_, length, data_.data(), body);
        });
        const unsigned declared = body[2];
        if (declared < 3) throw kl::Failure(kl::kExitTransport, "door_acess: no valid reply body came back");
        const kl::Bytes reply(body, body + declared + 3);

        unsigned sum = 0;
        for (unsigned i = 0; i + 1 < reply.size(); ++i) sum += reply[i];
        const std::uint8_t status = reply[4];
        kl::Output& out = context.out;
        out["address"] = reply[0] | reply[1] << 8;
        out["length"] = declared;
        out["byte3"] = kl::toHex(&reply[3], 1);
        out["status"] = status;
        out["meaning"] = kl::describeResult(status);
        out["payload"] = kl::dataHex(context.out, kl::Bytes(reply.begin() + 5, reply.end() - 1));
        out["checksum"] = kl::toHex(&reply.back(), 1);
        out["checksum_good"] = (sum & 0xFF) == reply.back();
        if ((sum & 0xFF) != reply.back()) throw kl::Failure(kl::kExitTransport, "door_acess: reply checksum is bad");
        if (status != 0) throw kl::libraryError("door_acess (reader status)", status);
    }

private:
    unsigned char code_ = 0;
    kl::Bytes data_;
};

}  // namespace

KL_COMMAND(Raw, "raw", "send any command code with a payload (door_acess) and decode the reply")
