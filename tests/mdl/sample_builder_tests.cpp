// The sample builder's models have the properties that the other tests rely
// on. Read back with the builder's own accessors, not the program's code.
#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "tools/mdl_builder/mdl_builder.h"

namespace lumora {

namespace {

namespace mb = mdl_builder;
using Bytes = std::vector<std::uint8_t>;

std::uint16_t area_word(const Bytes& bytes, std::uint32_t area_offset)
{
    return mb::get_le16(bytes, mb::CODE_AREA_AT + area_offset);
}

// Bytes of zero words that end the area, counted back from its last word.
std::uint32_t trailing_zero_bytes(const Bytes& bytes)
{
    std::uint32_t at = mb::CODE_AREA_SIZE - 2;
    while (at > 0 && area_word(bytes, at) == 0) {
        at -= 2;
    }
    return mb::CODE_AREA_SIZE - 2 - at;
}

TEST(SampleBuilder, DefaultModelHasTheClaimedLayout)
{
    const Bytes bytes = mb::build_sample_mdl();
    ASSERT_EQ(mb::NATURAL_FILE_SIZE, bytes.size());
    EXPECT_EQ(0x5A4D, mb::get_le16(bytes, 0));
    const std::uint32_t p = mb::get_le32(bytes, 0x3C);
    EXPECT_EQ(0x4550u, mb::get_le32(bytes, p));
    EXPECT_EQ(mb::RESOURCE_RVA, mb::get_le32(bytes, p + 0x88));
    const std::uint32_t entry = p + 248 + 40 * mb::RESOURCE_SECTION_INDEX;
    EXPECT_EQ(0x106F8u, mb::get_le32(bytes, entry + 8));
    EXPECT_EQ(mb::RESOURCE_RVA, mb::get_le32(bytes, entry + 12));
    EXPECT_EQ(0x10800u, mb::get_le32(bytes, entry + 16));
    EXPECT_EQ(0xE00u, mb::get_le32(bytes, entry + 20));

    EXPECT_EQ(12u, mb::get_le32(bytes, mb::CODE_AREA_AT));
    EXPECT_EQ(0x0023, area_word(bytes, 38));
    EXPECT_EQ(0x003A, area_word(bytes, 42));
    EXPECT_EQ(mb::DEFAULT_FREE_ROOM, trailing_zero_bytes(bytes));
    EXPECT_EQ(0x0022, area_word(bytes, 0xFFFE - mb::DEFAULT_FREE_ROOM));
    EXPECT_EQ(0xFFF4 - mb::DEFAULT_FREE_ROOM, mb::get_le32(bytes, mb::CODE_AREA_AT + 4));
}

TEST(SampleBuilder, FreeRoomAndEndWordAreAsChosen)
{
    for (const std::uint32_t free_room : {0u, 2u, 252u, 0x8000u, mb::LARGEST_FREE_ROOM}) {
        SCOPED_TRACE(free_room);
        mb::SampleOptions options;
        options.free_room = free_room;
        options.end_word = 0x2200;
        const Bytes bytes = mb::build_sample_mdl(options);
        EXPECT_EQ(free_room, trailing_zero_bytes(bytes));
        EXPECT_EQ(0x2200, area_word(bytes, 0xFFFE - free_room));
        EXPECT_EQ(0x003A, area_word(bytes, 42));
    }
    mb::SampleOptions stops;
    stops.code_stops_after_mark_42 = true;
    const Bytes bytes = mb::build_sample_mdl(stops);
    EXPECT_EQ(mb::FREE_ROOM_AFTER_MARK_42, trailing_zero_bytes(bytes));
    EXPECT_EQ(0x003A, area_word(bytes, 42));
}

TEST(SampleBuilder, SameOptionsGiveSameBytes)
{
    mb::SampleOptions longer;
    longer.file_size = mb::NATURAL_FILE_SIZE + 1001;
    EXPECT_EQ(mb::build_sample_mdl(longer), mb::build_sample_mdl(longer));
    const Bytes bytes = mb::build_sample_mdl(longer);
    const Bytes natural = mb::build_sample_mdl();
    EXPECT_TRUE(std::equal(natural.begin() + mb::CODE_AREA_AT, natural.begin() + mb::CODE_AREA_END,
                           bytes.begin() + mb::CODE_AREA_AT));
}

TEST(SampleBuilder, RefusesOptionsItCannotBuild)
{
    mb::SampleOptions odd;
    odd.free_room = 3;
    EXPECT_THROW(mb::build_sample_mdl(odd), std::invalid_argument);
    mb::SampleOptions too_large;
    too_large.free_room = mb::LARGEST_FREE_ROOM + 2;
    EXPECT_THROW(mb::build_sample_mdl(too_large), std::invalid_argument);
    mb::SampleOptions zero_end;
    zero_end.end_word = 0;
    EXPECT_THROW(mb::build_sample_mdl(zero_end), std::invalid_argument);
}

}  // namespace

}  // namespace lumora
