// The reader's ST chip selection when several chips answer the initiate.
#include <gtest/gtest.h>

#include <set>

#include "cards/st_chip.h"
#include "server/families.h"

namespace {

using sim::Bytes;

sim::Reply run(sim::Reader& reader, std::uint8_t code, Bytes payload = {}) {
    static const sim::Firmware firmware = sim::fullFirmware();
    return firmware.dispatch(reader, sim::Command{0, code, std::move(payload)});
}

std::shared_ptr<sim::StChip> chip(std::uint8_t serial, std::optional<std::uint8_t> id) {
    return std::make_shared<sim::StChip>(sim::StType::srix4k,
                                         std::array<std::uint8_t, 8>{serial, 0, 0, 0, 0, 0, 0x02, 0xD0}, Bytes{}, id);
}

TEST(StSelection, RandomIdsSeparateChipsUntilEachWasSelected) {
    sim::Reader reader;
    reader.card_family = sim::kFamilySt;
    for (std::uint8_t serial = 1; serial <= 4; ++serial) reader.field.place(chip(serial, std::nullopt));
    std::set<std::uint8_t> serials;
    for (int round = 0; round < 4; ++round) {
        ASSERT_EQ(run(reader, 0x60).status, sim::kOk) << "round " << round;
        const sim::Reply uid = run(reader, 0x68);
        ASSERT_EQ(uid.status, sim::kOk);
        serials.insert(uid.data[0]);
        ASSERT_EQ(run(reader, 0x61).status, sim::kOk);
    }
    EXPECT_EQ(serials, (std::set<std::uint8_t>{1, 2, 3, 4}));
    EXPECT_EQ(run(reader, 0x60).status, sim::kNoCard);
}

TEST(StSelection, ChipsWithTheSameFixedIdCollide) {
    sim::Reader reader;
    reader.card_family = sim::kFamilySt;
    reader.field.place(chip(1, 0x20));
    reader.field.place(chip(2, 0x20));
    EXPECT_EQ(run(reader, 0x60).status, sim::kCollision);
}

TEST(StSelection, SelectingAnotherChipDeselectsTheFirst) {
    sim::Reader reader;
    reader.card_family = sim::kFamilySt;
    auto first = chip(1, 0x05);
    reader.field.place(first);
    ASSERT_EQ(run(reader, 0x60).status, sim::kOk);
    auto second = chip(2, 0x09);
    reader.field.place(second);
    ASSERT_EQ(run(reader, 0x60).status, sim::kOk);
    EXPECT_EQ(second->state(), sim::StChip::State::selected);
    EXPECT_EQ(first->state(), sim::StChip::State::deselected);
}

}  // namespace
