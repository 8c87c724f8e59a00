// The texts of a row's addresses (those shown are read back from the table in MonTableTest):
// what counts as a change, and records from a hostile server whose address fields hold any
// family and any bytes.
#include "core/AddressTexts.h"
#include "tests/support/NetAddresses.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <string.h>

#include <random>
#include <string>

namespace {

// The kept text of an address, written into a row-sized field followed by guard bytes.
std::string Kept(const S5NetAddr& address)
{
    char field[16 + 8];
    memset(field, '#', sizeof field);
    AddressText(field, 16, address);
    EXPECT_EQ(std::string(field + 16, 8), std::string(8, '#')) << "written past the field";
    return field;
}

} // namespace

TEST(AddressTexts, OnlyAChangeOfTheKeptTextCountsAsAChange)
{
    EXPECT_TRUE(SameAddressText(IPv4("10.0.0.1"), IPv4("10.0.0.1")));
    EXPECT_FALSE(SameAddressText(IPv4("10.0.0.1"), IPv4("10.0.0.2")));
    EXPECT_TRUE(SameAddressText(Named("a"), Named("b")));
    EXPECT_TRUE(SameAddressText(IPv6("::1"), IPv6("2001:db8::9"))); // both kept empty
    EXPECT_FALSE(SameAddressText(IPv4("0.0.0.0"), IPv6("::")));
    EXPECT_FALSE(SameAddressText(Named("a"), IPv6("::")));
    EXPECT_FALSE(SameAddressText(IPv4("0.0.0.0"), Named("a")));
}

// Any family value with any bytes: the texts stay inside their buffers and end in a NUL.
TEST(AddressTexts, AnyFamilyWithAnyBytesStaysInsideTheBuffers)
{
    std::mt19937 random(2026);
    for (uint32_t family = 0; family <= 0xffff; family++) {
        S5NetAddr address;
        unsigned char* bytes = reinterpret_cast<unsigned char*>(&address);
        for (size_t i = 0; i < sizeof address; i++)
            bytes[i] = family % 2 ? 0xff : static_cast<unsigned char>(random());
        address.sa.sa_family = static_cast<sa_family_t>(family);
        std::string kept = Kept(address);
        ASSERT_LT(kept.size(), 16u) << family;
        AddressTextBuffer buffer;
        memset(buffer.text, '#', sizeof buffer.text);
        const char* shown = ShownAddressText(kept.c_str(), address, &buffer);
        ASSERT_EQ(IsIPv6Address(address), family == AF_INET6);
        ASSERT_EQ(shown, IsIPv6Address(address) ? buffer.text : kept.c_str()) << family;
        if (shown == buffer.text) {
            ASSERT_NE(memchr(buffer.text, '\0', sizeof buffer.text), nullptr);
        }
    }
    S5NetAddr allOnes;
    memset(&allOnes, 0xff, sizeof allOnes);
    allOnes.sa.sa_family = AF_INET6;
    AddressTextBuffer buffer;
    EXPECT_STREQ(ShownAddressText("", allOnes, &buffer), "ffff:ffff:ffff:ffff:ffff:ffff:ffff:ffff");
}
