#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "vormotor/netdrive/LinkOptions.h"
#include "vormotor/netdrive/Registers.h"

namespace vor::netdrive {
namespace {

TEST(RegistersTest, NumbersKeepEveryBitAndLieBigEndian) {
    Registers at(4);
    for (const std::int32_t value : {0, 1, -1, 65536, std::numeric_limits<std::int32_t>::min()}) {
        PutInt32(at.data(), value);
        EXPECT_EQ(GetInt32(at.data()), value);
    }
    PutInt32(at.data(), 0x12345678);
    EXPECT_EQ(at[0], 0x1234);
    EXPECT_EQ(at[1], 0x5678);
    for (const double value : {0.0, -0.5, 1e300, -std::numeric_limits<double>::infinity(), 2.2250738585072014e-308}) {
        PutDouble(at.data(), value);
        EXPECT_EQ(GetDouble(at.data()), value);
    }
    PutDouble(at.data(), 1.0);  // 0x3FF0000000000000
    EXPECT_EQ(at[0], 0x3FF0);
    EXPECT_EQ(at[3], 0x0000);
}

TEST(RegistersTest, FlagsFillRegistersFromTheLeastSignificantBit) {
    std::vector<bool> flags(19);
    flags[0] = flags[15] = flags[16] = flags[18] = true;
    Registers at(FlagRegisters(flags.size()), 0xFFFF);
    ASSERT_EQ(at.size(), 2u);
    PutFlags(at.data(), flags);
    EXPECT_EQ(at[0], 0x8001);
    EXPECT_EQ(at[1], 0x0005);
    EXPECT_EQ(GetFlags(at.data(), flags.size()), flags);
}

TEST(RegistersTest, TextsOfEveryLengthComeBackWhole) {
    for (const std::string text : {"", "a", "ab", "Motor \"Typ\" \xC3\xA4"}) {
        Registers at(16, 0xFFFF);
        const std::size_t used = PutText(at.data(), text, at.size());
        EXPECT_EQ(used, TextRegisters(at.data()));
        EXPECT_EQ(GetText(at), text);
    }
    Registers small(3);
    EXPECT_THROW(PutText(small.data(), "abcde", small.size()), std::length_error);
}

TEST(RegistersTest, ALengthPastItsRegistersIsRefusedNotRead) {
    // 0xFFFFFFFF once wrapped to a text of two registers.
    for (const std::uint32_t length : {0xFFFFFFFFu, 0xFFFFFFFEu, 0x80000000u, 3u}) {
        Registers at(3);
        PutInt32(at.data(), static_cast<std::int32_t>(length));
        EXPECT_GT(TextRegisters(at.data()), at.size()) << length;
        EXPECT_THROW(GetText(at), std::length_error) << length;
    }
    EXPECT_THROW(GetText(Registers(1)), std::length_error);
}

TEST(LinkOptionsTest, EndpointsNameHostAndPort) {
    struct Case {
        std::string endpoint;
        std::string host;
        int port;
    };
    for (const Case& good : {Case{"127.0.0.1:1502", "127.0.0.1", 1502}, Case{"drive-7:502", "drive-7", 502},
                             Case{"[::1]:15020", "::1", 15020}}) {
        const auto options = LinkOptions::FromEndpoint(good.endpoint);
        EXPECT_EQ(options.host, good.host);
        EXPECT_EQ(options.port, good.port);
        EXPECT_EQ(options.Endpoint(), good.endpoint);
    }
    for (const char* bad : {"127.0.0.1", ":1502", "host:", "host:0", "host:65536", "host:15x"}) {
        EXPECT_THROW(LinkOptions::FromEndpoint(bad), std::invalid_argument) << bad;
    }
}

}  // namespace
}  // namespace vor::netdrive
