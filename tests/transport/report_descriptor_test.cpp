#include "report_descriptor.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

tavo::ReportLayout parse(const Bytes& d) { return tavo::parseReportDescriptor(d.data(), d.size()); }

// Vendor page, 32 bytes in and 32 bytes out, no report ids: the reader's own.
const Bytes kVendor32 = {
    0x06, 0x00, 0xFF,  // Usage Page (Vendor 0xFF00)
    0x09, 0x01,        // Usage (1)
    0xA1, 0x01,        // Collection (Application)
    0x09, 0x02, 0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08, 0x95, 0x20,
    0x81, 0x02,        //   Input (Data, Var, Abs): 32 x 8 bits
    0x09, 0x03, 0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08, 0x95, 0x20,
    0x91, 0x02,        //   Output (Data, Var, Abs): 32 x 8 bits
    0xC0,              // End Collection
};

// Boot keyboard: 8-byte input, 5 LED bits plus 3 padding bits out.
const Bytes kKeyboard = {
    0x05, 0x01, 0x09, 0x06, 0xA1, 0x01, 0x05, 0x07, 0x19, 0xE0, 0x29, 0xE7, 0x15, 0x00, 0x25, 0x01,
    0x75, 0x01, 0x95, 0x08, 0x81, 0x02, 0x95, 0x01, 0x75, 0x08, 0x81, 0x01, 0x95, 0x05, 0x75, 0x01,
    0x05, 0x08, 0x19, 0x01, 0x29, 0x05, 0x91, 0x02, 0x95, 0x01, 0x75, 0x03, 0x91, 0x01, 0x95, 0x06,
    0x75, 0x08, 0x15, 0x00, 0x25, 0x65, 0x05, 0x07, 0x19, 0x00, 0x29, 0x65, 0x81, 0x00, 0xC0,
};

// Boot mouse: three buttons, five padding bits, X and Y; nothing out.
const Bytes kMouse = {
    0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0x09, 0x01, 0xA1, 0x00, 0x05, 0x09, 0x19, 0x01, 0x29, 0x03,
    0x15, 0x00, 0x25, 0x01, 0x95, 0x03, 0x75, 0x01, 0x81, 0x02, 0x95, 0x01, 0x75, 0x05, 0x81, 0x01,
    0x05, 0x01, 0x09, 0x30, 0x09, 0x31, 0x15, 0x81, 0x25, 0x7F, 0x75, 0x08, 0x95, 0x02, 0x81, 0x06,
    0xC0, 0xC0,
};

// Keyboard (id 1) plus a vendor channel (id 2) of 63 bytes each way, and a
// 2-byte consumer-control input (id 3).
const Bytes kWithIds = {
    0x05, 0x01, 0x09, 0x06, 0xA1, 0x01, 0x85, 0x01, 0x05, 0x07, 0x19, 0xE0, 0x29, 0xE7, 0x15, 0x00,
    0x25, 0x01, 0x75, 0x01, 0x95, 0x08, 0x81, 0x02, 0x95, 0x07, 0x75, 0x08, 0x81, 0x01, 0x95, 0x05,
    0x75, 0x01, 0x05, 0x08, 0x19, 0x01, 0x29, 0x05, 0x91, 0x02, 0x95, 0x01, 0x75, 0x03, 0x91, 0x01,
    0xC0,
    0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x02, 0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08,
    0x95, 0x3F, 0x09, 0x01, 0x81, 0x02, 0x09, 0x01, 0x91, 0x02, 0xC0,
    0x05, 0x0C, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x03, 0x75, 0x10, 0x95, 0x01, 0x81, 0x00, 0xC0,
};

TEST(ReportDescriptor, RealDescriptorsGiveTheirLengths) {
    struct Case {
        const char* name;
        const Bytes& descriptor;
        int input, output;
        bool ids;
    };
    const Case cases[] = {
        {"vendor 32 bytes", kVendor32, 33, 33, false},
        {"boot keyboard", kKeyboard, 9, 2, false},
        {"with report ids", kWithIds, 64, 64, true},
    };
    for (const Case& c : cases) {
        const tavo::ReportLayout layout = parse(c.descriptor);
        EXPECT_EQ(layout.input_length, c.input) << c.name;
        EXPECT_EQ(layout.output_length, c.output) << c.name;
        EXPECT_EQ(layout.report_ids, c.ids) << c.name;
        EXPECT_EQ(layout.fallback_reason, "") << c.name;
    }
}

TEST(ReportDescriptor, DirectionWithoutReportsFallsBackWithAReason) {
    const tavo::ReportLayout mouse = parse(kMouse);
    EXPECT_EQ(mouse.input_length, 4);
    EXPECT_EQ(mouse.output_length, tavo::kFallbackReportLength);
    EXPECT_EQ(mouse.fallback_reason, "no output report in the report descriptor");

    const tavo::ReportLayout empty = parse({});
    EXPECT_EQ(empty.input_length, 33);
    EXPECT_EQ(empty.output_length, 33);
    EXPECT_FALSE(empty.fallback_reason.empty());

    // Reports of zero bits are no reports.
    const tavo::ReportLayout zero = parse({0x75, 0x08, 0x95, 0x00, 0x81, 0x02, 0x91, 0x02});
    EXPECT_EQ(zero.input_length, 33);
    EXPECT_NE(zero.fallback_reason.find("no input report"), std::string::npos);
}

TEST(ReportDescriptor, PushAndPopRestoreSizeCountAndId) {
    const tavo::ReportLayout layout = parse({
        0x85, 0x01, 0x75, 0x08, 0x95, 0x04,  // id 1, 4 x 8 bits
        0xA4,                                // Push
        0x85, 0x02, 0x75, 0x10, 0x95, 0x0A,  // id 2, 10 x 16 bits
        0x91, 0x02,                          // Output id 2: 20 bytes
        0xB4,                                // Pop: id 1, 4 x 8 bits again
        0x81, 0x02, 0x81, 0x02,              // Input id 1: 8 bytes
        0xB4, 0xB4,                          // Pops with nothing pushed are ignored
        0x91, 0x02,                          // Output id 1: 4 bytes
    });
    EXPECT_EQ(layout.input_length, 9);
    EXPECT_EQ(layout.output_length, 21);
    EXPECT_TRUE(layout.report_ids);
}

TEST(ReportDescriptor, ItemSizesAndLongItemsAreStepped) {
    Bytes d = {
        0x77, 0x08, 0x00, 0x00, 0x00,  // Report Size, four data bytes (size code 3)
        0xFE, 0x03, 0x10, 0x81, 0x02, 0x91,  // long item whose data look like items
        0x96, 0x21, 0x00,              // Report Count, two data bytes: 33
        0x81, 0x02,                    // Input: 33 bytes
        0x90,                          // Output without data bytes
    };
    const tavo::ReportLayout layout = parse(d);
    EXPECT_EQ(layout.input_length, 34);
    EXPECT_EQ(layout.output_length, 34);
}

TEST(ReportDescriptor, BitsAreRoundedUpToBytes) {
    EXPECT_EQ(parse({0x75, 0x01, 0x95, 0x03, 0x81, 0x02, 0x91, 0x02}).input_length, 2);
    EXPECT_EQ(parse({0x75, 0x03, 0x95, 0x03, 0x81, 0x02, 0x91, 0x02}).input_length, 3);
}

TEST(ReportDescriptor, TruncatedDescriptorsEndTheParseInsideTheirBytes) {
    // Each prefix in a buffer of exactly its size, so a read past the end is caught.
    for (const Bytes* full : {&kVendor32, &kKeyboard, &kWithIds}) {
        for (std::size_t n = 0; n <= full->size(); ++n) {
            const Bytes prefix(full->begin(), full->begin() + n);
            const tavo::ReportLayout layout = parse(prefix);
            EXPECT_GE(layout.input_length, 2);
            EXPECT_GE(layout.output_length, 2);
        }
    }
    // The vendor descriptor cut inside its Output item's globals: input known, output not.
    const Bytes cut(kVendor32.begin(), kVendor32.begin() + 25);
    const tavo::ReportLayout layout = parse(cut);
    EXPECT_EQ(layout.input_length, 33);
    EXPECT_EQ(layout.output_length, 33);
    EXPECT_NE(layout.fallback_reason.find("no output report"), std::string::npos);
    // A long item claiming more bytes than there are.
    EXPECT_EQ(parse({0x75, 0x08, 0x95, 0x02, 0x81, 0x02, 0xFE, 0x40, 0x00}).input_length, 3);
}

TEST(ReportDescriptor, HugeOrGarbageValuesStayBounded) {
    // 0xFFFFFFFF bits times 0xFFFFFFFF must not overflow.
    const tavo::ReportLayout huge = parse({0x77, 0xFF, 0xFF, 0xFF, 0xFF, 0x97, 0xFF, 0xFF, 0xFF, 0xFF, 0x81, 0x02,
                                           0x81, 0x02, 0x91, 0x02});
    EXPECT_EQ(huge.input_length, 65536);
    EXPECT_EQ(huge.output_length, 65536);

    Bytes pushes(5000, 0xA4);
    pushes.insert(pushes.end(), 5000, 0xB4);
    EXPECT_EQ(parse(pushes).input_length, 33);

    std::uint32_t seed = 12345;
    for (int round = 0; round < 2000; ++round) {
        Bytes garbage(static_cast<std::size_t>(round % 97));
        for (auto& b : garbage) {
            seed = seed * 1103515245u + 12345u;
            b = static_cast<std::uint8_t>(seed >> 16);
        }
        const tavo::ReportLayout layout = parse(garbage);
        EXPECT_GE(layout.input_length, 2);
        EXPECT_LE(layout.input_length, 65536);
        EXPECT_GE(layout.output_length, 2);
        EXPECT_LE(layout.output_length, 65536);
    }
}

}  // namespace
