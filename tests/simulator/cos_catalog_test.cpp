// Processor cards and modules made from catalogue options.
#include <gtest/gtest.h>

#include "server/families.h"
#include "cards/cpu_card.h"
#include "cards/sam.h"
#include "cos_test_support.h"

using costest::h;

namespace {

sim::CardPtr make(const std::string& spec, std::string* why) {
    static const sim::CardCatalog catalog = sim::fullCatalog();
    std::string type;
    sim::CardOptions options;
    if (!sim::parseCardSpec(spec, &type, &options, why)) return nullptr;
    return catalog.make(type, options, why);
}

TEST(ProcessorCatalog, OptionsShapeTheCard) {
    std::string why;
    auto card = std::dynamic_pointer_cast<sim::CpuCardA>(
        make("cpu-a:uid=04112233445566,key3=0123456789ABCDEF,tries=2,pin=9999,balance=77", &why));
    ASSERT_TRUE(card) << why;
    EXPECT_EQ(card->atqa(), 0x0044);  // 7-byte UID
    EXPECT_EQ(card->sak(), 0x20);
    // ATQA bits 8-7 carry the UID size: 00 single, 01 double, 10 triple.
    const auto single = std::dynamic_pointer_cast<sim::CpuCardA>(make("cpu-a:uid=04112233", &why));
    const auto triple = std::dynamic_pointer_cast<sim::CpuCardA>(make("cpu-a:uid=04112233445566778899", &why));
    ASSERT_TRUE(single && triple) << why;
    EXPECT_EQ(single->atqa(), 0x0004);
    EXPECT_EQ(triple->atqa(), 0x0084);
    EXPECT_EQ(costest::sw(costest::authenticate(card->cos(), h("0123456789ABCDEF"), 3)), "90 00");
    EXPECT_EQ(costest::sw(costest::authenticate(card->cos(), h("0123456789ABCDEF"), 0)), "63 C1");
    EXPECT_EQ(costest::run(card->cos(), "0020000002 9999"), "90 00");
    EXPECT_EQ(card->cos().balance(), 77u);

    auto sam = std::dynamic_pointer_cast<sim::SamCard>(make("sam:slot=6,atr=3B00", &why));
    ASSERT_TRUE(sam) << why;
    EXPECT_EQ(sam->slot(), 6);
    EXPECT_EQ(sim::hex(sam->reset()), "3B 00");
}

TEST(ProcessorCatalog, BadOptionsAreRefusedWithAReason) {
    for (const char* spec : {"cpu-a:uid=0102", "cpu-a:colour=red", "cpu-a:key=0102", "cpu-b:pupi=010203",
                             "sam:slot=7", "contact:diversify=1", "idcard-b:uid=01", "cpu-a:balance=-1"}) {
        std::string why;
        EXPECT_FALSE(make(spec, &why)) << spec;
        EXPECT_FALSE(why.empty()) << spec;
    }
}

}  // namespace
