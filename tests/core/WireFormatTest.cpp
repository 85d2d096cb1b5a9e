#include <gtest/gtest.h>

#include <cstring>

#include "box/WireFormat.h"

TEST(WireFormat, RequestAndReplyLayouts) {
    EXPECT_EQ(wire::EncodeRequestHeader({1, 8}), (wire::Bytes<4>{1, 0, 8, 0}));
    EXPECT_EQ(wire::EncodeRequestHeader({3, 0x1234}), (wire::Bytes<4>{3, 0, 0x34, 0x12}));
    EXPECT_EQ(wire::EncodeReply({0x1001, 2, 1}), (wire::Bytes<6>{0, 0, 0x01, 0x10, 2, 1}));
    const wire::Reply r = wire::DecodeReply({9, 9, 0xB4, 0x05, 2, 7});
    EXPECT_EQ(r.value, 1460);
    EXPECT_EQ(r.followUp, 2);
    EXPECT_EQ(r.status, 7);
    EXPECT_EQ(wire::EncodeAcknowledgement(), (wire::Bytes<6>{0, 0, 0, 0, 0, 1}));
}

TEST(WireFormat, LoginPayloadCarriesAtMostFourCharacters) {
    EXPECT_EQ(wire::EncodeLoginPayload("7351"), (wire::Bytes<8>{0, 0, 0, 0, '7', '3', '5', '1'}));
    EXPECT_EQ(wire::EncodeLoginPayload("123456"), (wire::Bytes<8>{0, 0, 0, 0, '1', '2', '3', '4'}));
    EXPECT_EQ(wire::EncodeLoginPayload(""), (wire::Bytes<8>{}));
    EXPECT_EQ(wire::DecodeLoginPassword(wire::EncodeLoginPayload("12")), "12");
}

TEST(WireFormat, NameFieldIsCutToLeaveItsTerminator) {
    const auto b = wire::EncodeNameField(std::string(40, 'z').c_str());
    EXPECT_EQ(b[30], 'z');
    EXPECT_EQ(b[31], 0);
    EXPECT_EQ(wire::DecodeNameField(b), std::string(31, 'z'));
}

TEST(WireFormat, RecordsRoundTripLittleEndian) {
    wire::DataRecord r;
    r.percent = -1;
    r.flag = 3;
    r.length = 0x01020304;
    r.data[0] = 'x';
    const auto b = wire::EncodeDataRecord(r);
    EXPECT_EQ(b[0], 0xFF);
    EXPECT_EQ(b[3], 0xFF);
    EXPECT_EQ(b[4], 3);
    EXPECT_EQ(b[8], 4);
    EXPECT_EQ(b[11], 1);
    EXPECT_EQ(b[12], 'x');
    const auto back = wire::DecodeDataRecord(b);
    EXPECT_EQ(back.percent, -1);
    EXPECT_EQ(back.length, 0x01020304);
    EXPECT_EQ(wire::UsableDataLength(back.length), 1024u);
    EXPECT_EQ(wire::UsableDataLength(-3), 0u);

    wire::UploadBlock u;
    u.flag = 2;
    u.count = 1024;
    const auto ub = wire::EncodeUploadBlock(u);
    EXPECT_EQ(ub[0], 2);
    EXPECT_EQ(ub[5], 4);
    EXPECT_EQ(wire::DecodeUploadBlock(ub).count, 1024);
}

TEST(WireFormat, TextFieldsStopAtTheirWidth) {
    wire::DataRecord r;
    std::memset(r.data.data(), 'm', r.data.size());
    EXPECT_EQ(wire::DataRecordText(r).size(), 1024u);
    const auto refusal = wire::EncodeRefusalText(std::string(300, 'r'));
    EXPECT_EQ(wire::FieldText(refusal.data(), refusal.size()), std::string(127, 'r'));
}

TEST(WireFormat, RecordViewReadsFieldsInPlace) {
    wire::DataRecord r;
    r.percent = 42;
    r.flag = wire::kFlagMore;
    r.length = 3;
    std::memcpy(r.data.data(), "abcdef", 6);
    const auto b = wire::EncodeDataRecord(r);
    const wire::DataRecordView view(b);
    EXPECT_TRUE(view.IsWhole());
    EXPECT_EQ(view.Percent(), 42);
    EXPECT_EQ(view.Flag(), wire::kFlagMore);
    EXPECT_EQ(view.Length(), 3);
    EXPECT_EQ(view.Data().data(), &b[12]);  // the received bytes, not a copy
    EXPECT_EQ(view.Data().size(), 3u);
    EXPECT_EQ(view.Text(), "abcdef");

    // A record broken off after its flag still tells the flag; one broken off
    // before it does not.
    EXPECT_TRUE(wire::DataRecordView(b, 8).HasFlag());
    EXPECT_FALSE(wire::DataRecordView(b, 8).IsWhole());
    EXPECT_FALSE(wire::DataRecordView(b, 7).HasFlag());
}

TEST(WireFormat, VersionSplitsIntoMajorAndThreeHexDigitMinor) {
    EXPECT_EQ(wire::EncodeVersion(1, 0x001), 0x1001);
    EXPECT_EQ(wire::VersionMajor(0x2A0F), 2u);
    EXPECT_EQ(wire::VersionMinor(0x2A0F), 0xA0Fu);
    // The tool's version is the program's one version.
    EXPECT_EQ(wire::VersionMajor(wire::kToolVersion), version::kMajor);
    EXPECT_EQ(wire::VersionMinor(wire::kToolVersion), version::kMinor);
}
