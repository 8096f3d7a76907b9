#include "bench_rig.h"

#include "KovalinkHID.h"

namespace bench {

Rig::Rig() {
    std::string why;
    ok_ = sim_.start(&why) && rf_init_com(0, 0x1A86, 0xE010) == 0;
}

Rig::~Rig() {
    rf_ClosePort();
    sim_.stop();
}

bool Rig::place(const std::string& spec) {
    std::string why;
    return sim_.place(spec, &why);
}

}  // namespace bench
