#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "basics/le_words.h"
#include "basics/scramble.h"
#include "mdl/insertion.h"
#include "mdl/mdl_layout.h"
#include "tests/support/console_capture.h"
#include "tests/support/expected_template.h"

namespace lumora {

namespace {

constexpr std::uint32_t LAST_WORD = 0xFFFE;

// A model-code area whose code is a run of non-zero words ending with the end
// code, followed by free_room bytes of zero words.
std::vector<std::uint8_t> area_with_free_room(std::uint32_t free_room)
{
    std::vector<std::uint8_t> area(MODEL_CODE_SIZE, 0);
    store_u32(area.data(), 12);
    store_u32(area.data() + 4, 0x1000);
    store_u32(area.data() + 8, 0xABCD);
    const std::uint32_t end = LAST_WORD - free_room;
    for (std::uint32_t p = 12; p < end; p += 2) {
        store_u16(area.data() + p, static_cast<std::uint16_t>(0x0100 + (p & 0xFF)));
    }
    store_u16(area.data() + 38, 0x0023);
    store_u16(area.data() + 42, 0x003A);
    store_u16(area.data() + end, END_CODE);
    return area;
}

std::vector<std::uint8_t> block_of(unsigned n)
{
    std::vector<std::uint8_t> block(n);
    for (unsigned i = 0; i < n; ++i) {
        block[i] = static_cast<std::uint8_t>(0xA0 ^ i);
    }
    return block;
}

TEST(XorWithKey, LeavesLastByteAloneAndRepeatsTheKey)
{
    std::vector<std::uint8_t> buffer(250, 0);
    xor_with_key(buffer.data(), 250);
    for (int i = 0; i < 249; ++i) {
        ASSERT_EQ(buffer[i], scramble_key[i % SCRAMBLE_KEY_LENGTH]) << i;
    }
    EXPECT_EQ(buffer[249], 0);
    EXPECT_EQ(buffer[37], scramble_key[0]);
    EXPECT_EQ(buffer[74], scramble_key[0]);
    xor_with_key(buffer.data(), 250);
    EXPECT_EQ(buffer, std::vector<std::uint8_t>(250, 0));

    std::uint8_t one = 0x55;
    xor_with_key(&one, 1);
    xor_with_key(&one, 0);
    EXPECT_EQ(one, 0x55);
}

TEST(CountFreeSpace, CountsTheZeroTailAndStopsAtTheAreaStart)
{
    for (std::uint32_t free_room : {0u, 2u, 616u, 0xF000u}) {
        const auto area = area_with_free_room(free_room);
        EXPECT_EQ(find_code_end(area.data()).free_room, free_room);
    }
    const std::vector<std::uint8_t> zeros(MODEL_CODE_SIZE, 0);
    EXPECT_EQ(find_code_end(zeros.data()).free_room, MODEL_CODE_SIZE);
}

TEST(Insertion, PlacesBlockMovesCodeAndAddsTrailer)
{
    for (unsigned n : {364u, 540u, 716u}) {
        for (std::uint32_t free_room : {n + 252, n + 254, n + 2000}) {
            SCOPED_TRACE(std::to_string(n) + " in " + std::to_string(free_room));
            const auto before = area_with_free_room(free_room);
            auto area = before;
            const auto block = block_of(n);
            ConsoleCapture capture;
            MessagePrinter printer{capture.console()};
            Diagnostics diagnostics{printer};
            ASSERT_EQ(insert_code(diagnostics, area.data(), block.data(), n), Step::done);
            EXPECT_EQ(capture.text(), "");

            const std::uint32_t end = LAST_WORD - free_room;
            const std::uint32_t used = end + 2 - 12;
            EXPECT_EQ(0, std::memcmp(area.data(), before.data(), 4));
            EXPECT_EQ(load_u32(area.data() + 4), 0x1000 + n);
            EXPECT_EQ(0, std::memcmp(area.data() + 8, before.data() + 8, 4));
            EXPECT_EQ(0, std::memcmp(area.data() + 12, block.data(), n));
            EXPECT_EQ(0, std::memcmp(area.data() + 12 + n, before.data() + 12, used));
            EXPECT_EQ(load_u16(area.data() + end + n), END_CODE);
            EXPECT_EQ(load_u16(area.data() + end + n + 2), 0);
            const std::vector<std::uint8_t> trailer = expected_trailer();
            EXPECT_EQ(0, std::memcmp(area.data() + end + n + 4, trailer.data(), trailer.size()));
            for (std::uint32_t p = end + n + 254; p < MODEL_CODE_SIZE; ++p) {
                ASSERT_EQ(area[p], 0) << p;
            }
            if (free_room == n + 252) {
                // The trailer's last byte is the area's last byte.
                EXPECT_EQ(end + n + 253, MODEL_CODE_SIZE - 1);
            }
        }
    }
}

// Every use unscrambles a copy of its own trailer, so two uses never differ.
TEST(Insertion, EveryCopyOfTheTrailerIsPlain)
{
    const std::array<std::uint8_t, TRAILER_SIZE> plain = plain_trailer();
    EXPECT_NE(std::string(plain.begin(), plain.end()).find("Lumora"), std::string::npos);
    EXPECT_EQ(plain_trailer(), plain);

    const auto block = block_of(364);
    for (int use = 0; use < 2; ++use) {
        SCOPED_TRACE(use);
        auto area = area_with_free_room(2000);
        MessageLog unheard;
        Diagnostics diagnostics{unheard};
        ASSERT_EQ(insert_code(diagnostics, area.data(), block.data(), 364), Step::done);
        const std::uint32_t trailer_at = LAST_WORD - 2000 + 364 + 4;
        EXPECT_EQ(0, std::memcmp(area.data() + trailer_at, plain.data(), TRAILER_SIZE));
    }
}

struct RefusalCase {
    const char* name;
    std::vector<std::uint8_t> area;
    unsigned n;
    const char* message;
};

TEST(Insertion, RefusesWithoutTouchingTheArea)
{
    std::vector<RefusalCase> cases;
    cases.push_back({"room n + 250", area_with_free_room(364 + 250), 364,
                     "Not enough space in MDL file for landing lights, space needed=364, space available=614.\n"});
    cases.push_back({"no room at all", area_with_free_room(0), 716,
                     "Not enough space in MDL file for landing lights, space needed=716, space available=0.\n"});
    auto swapped = area_with_free_room(3000);
    store_u16(swapped.data() + LAST_WORD - 3000, 0x2200);
    cases.push_back({"end code bytes swapped", swapped, 364, "Unexpected end of data: code=0x2200\n"});
    auto cut = area_with_free_room(3000);
    std::fill(cut.begin() + 44, cut.end(), 0);
    cases.push_back({"nothing behind offset 42", cut, 364, "Unexpected end of data: code=0x003a\n"});
    // The end test comes first, whatever the room.
    auto no_end_no_room = area_with_free_room(0);
    store_u16(no_end_no_room.data() + LAST_WORD, 0x0001);
    cases.push_back({"no end code and no room", no_end_no_room, 364, "Unexpected end of data: code=0x0001\n"});
    cases.push_back({"all zero", std::vector<std::uint8_t>(MODEL_CODE_SIZE, 0), 364,
                     "Unexpected end of data: code=0x0000\n"});

    for (RefusalCase& c : cases) {
        SCOPED_TRACE(c.name);
        const auto before = c.area;
        const auto block = block_of(c.n);
        ConsoleCapture capture;
        MessagePrinter printer{capture.console()};
        Diagnostics diagnostics{printer};
        EXPECT_EQ(insert_code(diagnostics, c.area.data(), block.data(), c.n), Step::reported);
        EXPECT_EQ(capture.text(), c.message);
        EXPECT_EQ(c.area, before);
    }
}

}  // namespace

}  // namespace lumora
