// Type B end to end: request, PUPI byte order in ATTRIB and HLTB, APDUs
// with the CID byte, the identity card, and chips of another family.
#include <cstring>

#include "cards/type_b.h"
#include "processor_test_support.h"

namespace {

class TypeB : public ptest::ProcessorTest {};

// The PUPI bytes in card order, as callers hold them, passed as an integer.
unsigned int pupiOf(const unsigned char* bytes) {
    unsigned int value;
    std::memcpy(&value, bytes, 4);
    return value;
}

TEST_F(TypeB, ActivationAndApdusFollowTheCardsPupi) {
    place("cpu-b:pupi=01020304");
    family('B');
    unsigned char atqb[12] = {};
    ASSERT_EQ(rf_atqb(0, 0, atqb, &length), 0);
    EXPECT_EQ(length, 12);
    EXPECT_EQ(sim::hex(atqb, 12), "50 01 02 03 04 00 00 00 00 00 81 71");
    ASSERT_EQ(rf_attrib(0, pupiOf(atqb + 1), 0x01), 0);
    const unsigned char apdu[] = {0x00, 0xA4, 0x00, 0x00, 0x02, 0xDF, 0x01};
    ASSERT_EQ(rf_typeb_cos(0, 0x01, apdu, sizeof apdu, buffer, &length), 0);
    EXPECT_EQ(sim::hex(sim::Bytes(buffer + length - 2, buffer + length)), "90 00");
    // The leading byte names the CID given at ATTRIB.
    EXPECT_EQ(rf_typeb_cos(0, 0x00, apdu, sizeof apdu, buffer, &length), sim::kNotActivated);
    // rf_cos_command reaches the activated type B card too.
    ASSERT_EQ(rf_cos_command(0, apdu, sizeof apdu, buffer, &length), 0);
    ASSERT_EQ(rf_hltb(0, pupiOf(atqb + 1)), 0);
    EXPECT_EQ(rf_cos_command(0, apdu, sizeof apdu, buffer, &length), sim::kNotActivated);
    EXPECT_EQ(sent(), (std::vector<std::string>{wire(0x3B, "00"), wire(0x55, "0102030401"),
                                                wire(0x3C, "0100A4000002DF01"), wire(0x3C, "0000A4000002DF01"),
                                                wire(0x54, "00A4000002DF01"), wire(0x3D, "01020304"),
                                                wire(0x54, "00A4000002DF01")}));
    // A halted card answers only the wake-up request.
    EXPECT_EQ(rf_atqb(0, 0, atqb, &length), sim::kNoCard);
    EXPECT_EQ(rf_atqb(0, 1, atqb, &length), 0);
    // Deselect halts it too.
    ASSERT_EQ(rf_attrib(0, pupiOf(atqb + 1), 0x00), 0);
    ASSERT_EQ(rf_cl_deselect(0), 0);
    EXPECT_EQ(rf_cos_command(0, apdu, sizeof apdu, buffer, &length), sim::kNotActivated);
    EXPECT_EQ(rf_atqb(0, 0, atqb, &length), sim::kNoCard);
}

TEST_F(TypeB, PupiIntegersGoLeastSignificantByteFirst) {
    place("cpu-b:pupi=01000000");
    family('B');
    unsigned char atqb[12];
    ASSERT_EQ(rf_atqb(0, 0, atqb, &length), 0);
    ASSERT_EQ(rf_attrib(0, 1, 0x00), 0);
    EXPECT_EQ(rf_hltb(0, 0x01000000), sim::kNoCard);
    ASSERT_EQ(rf_hltb(0, 1), 0);
    EXPECT_EQ(sent(), (std::vector<std::string>{wire(0x3B, "00"), wire(0x55, "0100000000"), wire(0x3D, "00000001"),
                                                wire(0x3D, "01000000")}));
}

TEST_F(TypeB, ModesOutsideZeroAndOneAreRefusedUnsent) {
    unsigned char atqb[12];
    length = 0x55;
    EXPECT_EQ(rf_atqb(0, 2, atqb, &length), 1);
    EXPECT_EQ(rf_get_namecard_uid(0, 2, atqb, &length), 1);
    EXPECT_EQ(length, 0x55);
    EXPECT_TRUE(sent().empty());
    family('B');
    EXPECT_EQ(rf_atqb(0, 1, atqb, &length), sim::kNoCard);
    EXPECT_EQ(sent(), std::vector<std::string>{wire(0x3B, "01")});
}

TEST_F(TypeB, IdentityCardTellsItsUid) {
    place("idcard-b:uid=0102030405060708");
    family('B');
    unsigned char uid[8];
    ASSERT_EQ(rf_get_namecard_uid(0, 0, uid, &length), 0);
    EXPECT_EQ(length, 8);
    EXPECT_EQ(sim::hex(uid, 8), "01 02 03 04 05 06 07 08");
    EXPECT_EQ(sent(), std::vector<std::string>{wire(0x82, "00")});
    // A processor card is no identity card.
    server->withReader([](sim::Reader& r) { r.field.clear(); });
    place("cpu-b");
    EXPECT_EQ(rf_get_namecard_uid(0, 1, uid, &length), sim::kProtocol);
}

// A type B chip of another card family (AT88RF020 answers under 'r').
class ForeignChip : public sim::TypeBCard {
public:
    ForeignChip() : TypeBCard({0xAA, 0xBB, 0xCC, 0xDD}, {1, 2, 3, 4}, {5, 6, 7}, sim::kFamilyAt88) {}
    std::string kind() const override { return "foreign"; }
};

TEST_F(TypeB, RequestAttribAndHaltServeAnyTypeBFamily) {
    server->withReader([](sim::Reader& r) { r.field.place(std::make_shared<ForeignChip>()); });
    place("cpu-b");
    family('r');
    unsigned char atqb[12];
    ASSERT_EQ(rf_atqb(0, 0, atqb, &length), 0);
    EXPECT_EQ(sim::hex(atqb, 12), "50 AA BB CC DD 01 02 03 04 05 06 07");
    const unsigned char pupi[] = {0xAA, 0xBB, 0xCC, 0xDD};
    EXPECT_EQ(rf_attrib(0, pupiOf(pupi), 0), 0);
    EXPECT_EQ(rf_hltb(0, pupiOf(pupi)), 0);
    // The processor card (family B) stays silent under 'r'.
    const unsigned char other[] = {0x11, 0x22, 0x33, 0x44};
    EXPECT_EQ(rf_attrib(0, pupiOf(other), 0), sim::kNoCard);
    family('B');
    ASSERT_EQ(rf_atqb(0, 0, atqb, &length), 0);
    EXPECT_EQ(sim::hex(atqb, 5), "50 11 22 33 44");
}

}  // namespace
