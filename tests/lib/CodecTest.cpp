// The message codec against byte layouts written out here, independently of the encoder.
#include "lib/monMsg.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <string.h>
#include <string>
#include <vector>

namespace {

uint16_t Get16(const char* p)
{
    const unsigned char* b = reinterpret_cast<const unsigned char*>(p);
    return static_cast<uint16_t>(b[0] << 8 | b[1]);
}

uint32_t Get32(const char* p)
{
    const unsigned char* b = reinterpret_cast<const unsigned char*>(p);
    return static_cast<uint32_t>(b[0]) << 24 | b[1] << 16 | b[2] << 8 | b[3];
}

void Put16(std::vector<char>& m, size_t off, uint16_t v)
{
    m[off] = static_cast<char>(v >> 8);
    m[off + 1] = static_cast<char>(v);
}

void Put32(std::vector<char>& m, size_t off, uint32_t v)
{
    for (int i = 0; i < 4; i++)
        m[off + i] = static_cast<char>(v >> (24 - 8 * i));
}

S5MonData SampleRecord()
{
    S5MonData d;
    memset(&d, 0, sizeof d);
    memcpy(d.key.key, "ABCDEFGHIJ", 10);
    memcpy(d.nextKey.key, "0123456789", 10);
    d.state = 0x0c;
    d.startTime = 1000000000;
    d.curTime = 1000000060;
    d.endTime = -5;
    d.inTotBytes = 0xfffffff0u;
    d.outTotBytes = 77;
    d.socksErr = 4;
    d.authen = 2;
    d.socksCmd = 1;
    d.srcSockAddr.sin.sin_family = AF_INET;
    d.srcSockAddr.sin.sin_port = htons(3456);
    d.srcSockAddr.sin.sin_addr.s_addr = inet_addr("10.0.0.1");
    d.dstSockAddr.sn.sn_family = 255;
    d.dstSockAddr.sn.sn_port = htons(80);
    strcpy(d.dstSockAddr.sn.sn_name, "www.example.org");
    d.proxySockAddr.sin.sin_family = AF_INET;
    return d;
}

} // namespace

TEST(Codec, EmptyNamesEncodeToThreeAddressesOnly)
{
    S5MonData d = SampleRecord();
    std::vector<char> msg(MON_CONN_MAX_LEN, 'Z');
    ASSERT_EQ(Mon_MsgFromConn(&d, msg.data()), 873);

    EXPECT_EQ(msg[0], 3);
    EXPECT_EQ(std::string(&msg[1], 10), "ABCDEFGHIJ");
    EXPECT_EQ(std::string(&msg[11], 10), "0123456789");
    // socksCmd goes before authen on the wire; source, destination and proxy are placed in
    // that order, their descriptors at 53, 61 and 57.
    const struct {
        int offset;
        uint32_t value;
    } words[] = {{21, 0x0c},       {25, 1000000000}, {29, 1000000060}, {33, 0xfffffffb},
                 {37, 0xfffffff0}, {41, 77},         {45, 4}},
      halves[] = {{49, 1}, {51, 2}, {53, 260}, {55, 0}, {61, 260}, {63, 260}, {57, 260}, {59, 520}};
    for (const auto& w : words)
        EXPECT_EQ(Get32(&msg[w.offset]), w.value) << "offset " << w.offset;
    for (const auto& h : halves)
        EXPECT_EQ(Get16(&msg[h.offset]), h.value) << "offset " << h.offset;
    for (int off = 65; off < 93; off++)
        EXPECT_EQ(msg[off], 0) << "descriptor byte " << off;
    EXPECT_EQ(memcmp(&msg[93], &d.srcSockAddr, 260), 0);
    EXPECT_EQ(memcmp(&msg[93 + 260], &d.dstSockAddr, 260), 0);
    // The rest of the 1629-byte buffer is cleared.
    for (int off = 873; off < MON_CONN_MAX_LEN; off++)
        ASSERT_EQ(msg[off], 0) << off;

    S5MonData back;
    memset(&back, 0x55, sizeof back);
    EXPECT_EQ(Mon_MsgToConn(&back, msg.data()), 873);
    EXPECT_EQ(back.totConns, 0u);
    EXPECT_EQ(back.readTime, 0);
    EXPECT_EQ(memcmp(&back, &d, sizeof d), 0);
}

TEST(Codec, SixLongNamesDropTheErrorTextButKeepOptionalData)
{
    S5MonData d = SampleRecord();
    std::string name(127, 'n');
    for (char* field :
         {d.srcHostName, d.dstHostName, d.proxyHostName, d.userName, d.appName, d.socksErrMsg})
        strcpy(field, name.c_str());
    d.optData.len = 2;
    d.optData.data[0] = 'o';
    d.optData.data[1] = 'k';
    std::vector<char> msg(MON_CONN_MAX_LEN);
    ASSERT_EQ(Mon_MsgFromConn(&d, msg.data()), 93 + 1422);

    const int nameOffsets[] = {65, 69, 73, 77, 81};
    for (int i = 0; i < 5; i++) {
        EXPECT_EQ(Get16(&msg[nameOffsets[i]]), 128);
        EXPECT_EQ(Get16(&msg[nameOffsets[i] + 2]), 780 + 128 * i);
    }
    EXPECT_EQ(Get32(&msg[85]), 0u); // socksErrMsg would end at 1548: left out
    EXPECT_EQ(Get16(&msg[89]), 2);
    EXPECT_EQ(Get16(&msg[91]), 1420);
    EXPECT_EQ(msg[93 + 1420], 'o');

    S5MonData back;
    EXPECT_EQ(Mon_MsgToConn(&back, msg.data()), 93 + 780 + 640 + 2);
    EXPECT_EQ(std::string(back.appName), name);
    EXPECT_EQ(back.socksErrMsg[0], '\0');
    EXPECT_EQ(back.optData.len, 2);
    EXPECT_EQ(std::string(back.optData.data, 2), "ok");
}

TEST(Codec, AFullNameFieldIsSentWithItsTerminatingNul)
{
    S5MonData d = SampleRecord();
    memset(d.userName, 'u', sizeof d.userName); // 128 characters, no NUL in the field
    std::vector<char> msg(MON_CONN_MAX_LEN);
    Mon_MsgFromConn(&d, msg.data());
    ASSERT_EQ(Get16(&msg[77]), 128);
    uint16_t at = Get16(&msg[79]);
    EXPECT_EQ(std::string(&msg[93 + at], 127), std::string(127, 'u'));
    EXPECT_EQ(msg[93 + at + 127], '\0');
}

// A record decoded over a used one (as a poll decodes into the same buffers again and again)
// holds exactly what one decoded into a cleared record holds: nothing of the old one stays.
void ExpectNothingOfTheOldRecordStays(const std::vector<char>& m)
{
    S5MonData clean, used;
    memset(&clean, 0, sizeof clean);
    memset(&used, 0x5a, sizeof used);
    Mon_MsgToConnLen(&clean, m.data(), static_cast<uint16_t>(m.size()));
    Mon_MsgToConnLen(&used, m.data(), static_cast<uint16_t>(m.size()));
    EXPECT_EQ(memcmp(&clean, &used, sizeof clean), 0);
}

TEST(Codec, DecodesAHandWrittenConnectionMessage)
{
    std::vector<char> m(93 + 6);
    m[0] = 3;
    Put32(m, 21, 8);
    Put32(m, 37, 123456);
    Put16(m, 51, 2);
    Put16(m, 77, 6); // userName: 6 bytes at offset 0 of the free area
    memcpy(&m[93], "alice", 6);
    S5MonData d;
    EXPECT_EQ(Mon_MsgToConnLen(&d, m.data(), static_cast<uint16_t>(m.size())), 99);
    EXPECT_EQ(d.state, 8u);
    EXPECT_EQ(d.inTotBytes, 123456u);
    EXPECT_EQ(d.authen, 2);
    EXPECT_STREQ(d.userName, "alice");
    EXPECT_EQ(d.srcSockAddr.sa.sa_family, 0);
    ExpectNothingOfTheOldRecordStays(m);

    // A message shorter than its fixed part decodes what is there.
    m.resize(30);
    Mon_MsgToConnLen(&d, m.data(), static_cast<uint16_t>(m.size()));
    EXPECT_EQ(d.state, 8u);
    EXPECT_EQ(d.inTotBytes, 0u);
    ExpectNothingOfTheOldRecordStays(m);
}

TEST(Codec, LyingDescriptorsNeverReachOutsideTheMessageOrTheField)
{
    // The received message is 93 + 50 bytes; the pieces claim much more.
    std::vector<char> m(93 + 50, 'q');
    memset(m.data(), 0, 93);
    Put16(m, 65, 1000); // srcHostName: longer than its field and the message
    Put16(m, 67, 0);
    Put16(m, 53, 260); // srcSockAddr: starts inside, runs past the end
    Put16(m, 55, 40);
    Put16(m, 69, 10); // dstHostName: entirely outside
    Put16(m, 71, 60000);
    Put16(m, 89, 300); // optData: far more than 2 bytes
    Put16(m, 91, 0);
    S5MonData d;
    Mon_MsgToConnLen(&d, m.data(), static_cast<uint16_t>(m.size()));
    EXPECT_EQ(std::string(d.srcHostName), std::string(50, 'q'));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(&d.srcSockAddr), 10), std::string(10, 'q'));
    EXPECT_EQ(reinterpret_cast<char*>(&d.srcSockAddr)[10], 0);
    EXPECT_EQ(d.dstHostName[0], '\0');
    EXPECT_EQ(d.optData.len, 2);

    // A full-length name of 128 bytes without a NUL stays terminated.
    std::vector<char> full(93 + 128, 'w');
    memset(full.data(), 0, 93);
    Put16(full, 81, 128);
    S5MonData e;
    Mon_MsgToConnLen(&e, full.data(), static_cast<uint16_t>(full.size()));
    EXPECT_EQ(strlen(e.appName), 127u);
    ExpectNothingOfTheOldRecordStays(m);
    ExpectNothingOfTheOldRecordStays(full);
}

TEST(Codec, UserReplyLayoutAndVersions)
{
    S5MonUser_t u;
    memset(&u, 0, sizeof u);
    strcpy(u.userName, "bob");
    u.curConns = 1;
    u.errConns = 2;
    u.endConns = 3;
    u.totConns = 6;
    u.inTotBytes = 1000;
    u.outTotBytes = 2000;
    u.startTime = 10;
    u.curTime = 20;
    u.endTime = 30;
    std::vector<char> msg(MON_USER_MAX_LEN);
    ASSERT_EQ(Mon_MsgFromUser(&u, msg.data()), 43 + 4);
    EXPECT_EQ(msg[0], 8);
    EXPECT_EQ(msg[1], 1);
    EXPECT_EQ(msg[2], 0);
    EXPECT_EQ(Get16(&msg[3]), 4);
    EXPECT_EQ(Get16(&msg[5]), 0);
    const uint32_t expected[] = {1, 2, 3, 6, 1000, 2000, 10, 20, 30};
    for (int i = 0; i < 9; i++)
        EXPECT_EQ(Get32(&msg[7 + 4 * i]), expected[i]) << i;
    EXPECT_STREQ(&msg[43], "bob");

    S5MonUser_t back;
    EXPECT_EQ(Mon_MsgToUser(&back, msg.data()), static_cast<int>(sizeof(S5MonUser_t)));
    EXPECT_EQ(memcmp(&back, &u, sizeof u), 0);

    // An empty name still travels as one NUL byte.
    S5MonUser_t empty;
    memset(&empty, 0, sizeof empty);
    EXPECT_EQ(Mon_MsgFromUser(&empty, msg.data()), 44);

    msg[1] = 0;
    msg[2] = 7;
    EXPECT_GE(Mon_MsgToUser(&back, msg.data()), 0); // 0.7 is older: accepted
    msg[1] = 1;
    msg[2] = 1;
    EXPECT_EQ(Mon_MsgToUser(&back, msg.data()), -1);
    msg[1] = 2;
    msg[2] = 0;
    EXPECT_EQ(Mon_MsgToUser(&back, msg.data()), -1);
}

TEST(Codec, TotalsReplyLayout)
{
    S5MonTot_t t;
    uint32_t* fields = reinterpret_cast<uint32_t*>(&t);
    for (int i = 0; i < 15; i++)
        fields[i] = 100 + i;
    std::vector<char> msg(MON_TOT_LEN);
    ASSERT_EQ(Mon_MsgFromTot(&t, msg.data()), 63);
    EXPECT_EQ(msg[0], 8);
    EXPECT_EQ(msg[1], 1);
    for (int i = 0; i < 15; i++)
        EXPECT_EQ(Get32(&msg[3 + 4 * i]), 100u + i);
    S5MonTot_t back;
    EXPECT_EQ(Mon_MsgToTot(&back, msg.data()), static_cast<int>(sizeof(S5MonTot_t)));
    EXPECT_EQ(memcmp(&back, &t, sizeof t), 0);
    msg[1] = 1;
    msg[2] = 5;
    EXPECT_EQ(Mon_MsgToTot(&back, msg.data()), -1);
}

TEST(Codec, KeyTextUsesHostByteOrder)
{
    S5MonKey key;
    const unsigned char bytes[10] = {0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0xff, 0x00, 0x02};
    memcpy(key.key, bytes, 10);
    char buf[28];
    EXPECT_EQ(MonKeyStr(key, buf), buf);
#if __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    EXPECT_STREQ(buf, "<16777216,ff000000,512>");
#else
    EXPECT_STREQ(buf, "<1,ff,2>");
#endif
    memset(key.key, 0xff, 10);
    EXPECT_STREQ(MonKeyStr(key, buf), "<4294967295,ffffffff,65535>");
}
