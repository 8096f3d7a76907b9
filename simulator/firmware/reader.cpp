#include "firmware/reader.h"

namespace sim {

Reader::Reader(ReaderConfig config)
    : address(config.address), model(config.model), serial(std::move(config.serial)) {
    flash.attach(config.flash_path, &flash_problem);
}

void Reader::setAntenna(bool on) {
    // Switching the field off takes the power from every card.
    if (antenna && !on) field.powerDown();
    antenna = on;
}

void Reader::note(std::string event) {
    constexpr std::size_t kKeep = 1000;
    if (events.size() >= kKeep) events.pop_front();
    events.push_back(std::move(event));
}

}  // namespace sim
