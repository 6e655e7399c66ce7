#include <gtest/gtest.h>

#include <string>

#include "basics/version.h"
#include "mdl/insertion.h"
#include "tests/support/runner.h"

namespace lumora {

namespace {

// "1.2.3" -> "1.2": the banner and the trailer show major and minor.
std::string major_minor(const std::string& version) { return version.substr(0, version.find('.', version.find('.') + 1)); }

TEST(Version, BannerTrailerAndHeaderFollowTheProjectVersion)
{
    EXPECT_STREQ(LUMORA_VERSION, PROJECT_VERSION_TEXT);
    const std::string shown = major_minor(PROJECT_VERSION_TEXT);
    ASSERT_FALSE(shown.empty());
    EXPECT_STREQ(LUMORA_VERSION_SHORT, shown.c_str());

    const std::string banner = banner_text();
    EXPECT_NE(banner.find("Lumora " + shown + "\n"), std::string::npos) << banner;

    const auto trailer = plain_trailer();
    const std::string text(reinterpret_cast<const char*>(trailer.data()));
    EXPECT_EQ(text.rfind("Landing lights by Lumora VESKA " + shown + ".\n", 0), 0u) << text;
}

}  // namespace

}  // namespace lumora
