// The built-in resource defaults: their number, a digest of the whole list that does not
// depend on the order, and the lines whose place or words matter.
#include <gtest/gtest.h>

#include <stdint.h>

#include <map>
#include <string>

#include "app/FallbackResources.h"

namespace {

// The resource name of a line, and its value after the blanks and tabs that follow the colon.
std::pair<std::string, std::string> Split(const std::string& line)
{
    size_t colon = line.find(':');
    if (colon == std::string::npos)
        return {"", line};
    size_t value = line.find_first_not_of(" \t", colon + 1);
    return {line.substr(0, colon), value == std::string::npos ? "" : line.substr(value)};
}

uint64_t Fnv1a(const std::string& text)
{
    uint64_t hash = 14695981039346656037ull;
    for (unsigned char c : text)
        hash = (hash ^ c) * 1099511628211ull;
    return hash;
}

// The about box's two free lines are left out of the digest: their words may change.
bool IsFreeText(const std::string& name)
{
    return name == "*logo_line1.labelString" || name == "*logo_line3.labelString";
}

} // namespace

TEST(FallbackResourcesTest, ListHas270LinesWithTheKnownDigest)
{
    ASSERT_EQ(FALLBACK_RESOURCE_COUNT, 270);
    uint64_t digest = 0;
    for (int i = 0; i < FALLBACK_RESOURCE_COUNT; i++) {
        if (!IsFreeText(Split(FALLBACK_RESOURCES[i]).first))
            digest += Fnv1a(FALLBACK_RESOURCES[i]);
    }
    EXPECT_EQ(digest, 0x99d23129ed095d1eull) << std::hex << digest;
}

TEST(FallbackResourcesTest, TheFirstAndLastLinesAreInPlaceAndTheAboutBoxNamesTheProduct)
{
    std::map<std::string, std::string> value;
    for (int i = 0; i < FALLBACK_RESOURCE_COUNT; i++)
        value.insert(Split(FALLBACK_RESOURCES[i]));
    // The digest holds every line but not their order: the first and last are in place.
    EXPECT_STREQ(FALLBACK_RESOURCES[0], "*Vantor*background: grey77");
    EXPECT_STREQ(FALLBACK_RESOURCES[FALLBACK_RESOURCE_COUNT - 1],
                 "*rejection_detail.title: Rejection Details");
    // The about box's own words name the product and what it watches.
    EXPECT_NE(value["*logo_line1.labelString"].find("Vantor"), std::string::npos);
    EXPECT_NE(value["*logo_line1.labelString"].find("SOCKS5"), std::string::npos);
    EXPECT_FALSE(value["*logo_line3.labelString"].empty());
}
