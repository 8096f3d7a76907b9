// kovalink antenna on|off
#include "KovalinkHID.h"
#include "core/command.h"

namespace {

class Antenna : public kl::Command {
public:
    void define(CLI::App& app) override {
        app.add_option("STATE", state_, "on or off")->required()->check(CLI::IsMember({"on", "off"}));
    }

    void run(kl::Context& context) override {
        const unsigned char on = state_ == "on" ? 1 : 0;
        context.reader.call("rf_antenna_sta", [&] { return rf_antenna_sta(context.reader.address(), on); });
        context.out["antenna"] = state_;
    }

private:
    std::string state_;
};

}  // namespace

KL_COMMAND(Antenna, "antenna", "switch the antenna (RF field) on or off")
