#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "basics/version.h"
#include "mdl/insertion.h"
#include "tests/support/expected_template.h"
#include "tests/support/runner.h"

namespace lumora {

namespace {

// The version is the project's; the banner and the trailer show its major
// and minor number. Spelled out here, so that a new version is a conscious
// change of this test too.
TEST(Version, BannerTrailerAndHeaderFollowTheProjectVersion)
{
    EXPECT_STREQ(PROJECT_VERSION_TEXT, "1.0.0");
    EXPECT_STREQ(LUMORA_VERSION, "1.0.0");
    EXPECT_STREQ(LUMORA_VERSION_SHORT, "1.0");
    EXPECT_EQ(banner_text().rfind("VESKA - landing lights for aircraft models, Lumora 1.0\n", 0), 0u) << banner_text();
    const std::vector<std::uint8_t> trailer = expected_trailer();
    const auto plain = plain_trailer();
    EXPECT_TRUE(std::equal(trailer.begin(), trailer.end(), plain.begin(), plain.end()));
}

}  // namespace

}  // namespace lumora
