#include <cstring>

#include "tests/core/SessionFixture.h"

namespace {

ScriptedBox::Bytes LoginRequest(const char* password) {
    return Concat({B(wire::EncodeRequestHeader({1, 8})), B(wire::EncodeLoginPayload(password))});
}

}  // namespace

TEST_F(SessionTest, LoginAcceptedSendsHeadAndPasswordAndLogsBothLines) {
    box.Read(12).Write(Reply(wire::kToolVersion, 0, 1));
    Connect();
    EXPECT_EQ(session.Login("7351"), 1);
    EXPECT_EQ(session.State(), BoxSession::kLoggedIn);
    EXPECT_EQ(sinks.All(), "PC > REMOTE KEY IS DISABLE, until Logout !\nPC > Login OK. :) \n");
    EXPECT_EQ(sinks.colors, std::vector<int>({0, 0}));
    const ScriptedBox::Bytes expected = {1, 0, 8, 0, 0, 0, 0, 0, '7', '3', '5', '1'};
    EXPECT_EQ(Received(), expected);
}

TEST_F(SessionTest, LoginShortPasswordIsZeroPadded) {
    box.Read(12).Write(Reply(wire::kToolVersion - 1, 0, 1));
    Connect();
    EXPECT_EQ(session.Login("12"), 1);
    const ScriptedBox::Bytes expected = {1, 0, 8, 0, 0, 0, 0, 0, '1', '2', 0, 0};
    EXPECT_EQ(Received(), expected);
}

TEST_F(SessionTest, LoginNewerToolRequiredIgnoresStatus) {
    for (uint8_t status : {0, 1}) {
        ScriptedBox other;
        other.Read(12).Write(Reply(wire::kToolVersion + 1, 0, status));
        other.Start();
        ASSERT_TRUE(socket.Connect("127.0.0.1", other.Port(), 5000));
        sinks.lines.clear();
        EXPECT_EQ(session.Login("7351"), 0);
        EXPECT_EQ(session.State(), BoxSession::kNotLoggedIn);
        EXPECT_EQ(sinks.All(), "PC > This tool version is too low, need " +
                                   wire::VersionText(wire::kToolVersion + 1) + "\n");
        socket.Close();
        EXPECT_EQ(other.FirstReceived(), LoginRequest("7351"));
    }
}

TEST_F(SessionTest, LoginVersionTextUsesHexDigits) {
    box.Read(12).Write(Reply(0x2A0F, 0, 1));
    Connect();
    EXPECT_EQ(session.Login("7351"), 0);
    EXPECT_EQ(sinks.All(), "PC > This tool version is too low, need 2.a0f\n");
}

TEST_F(SessionTest, LoginRefusedLogsBoxTextBetweenFailAndLineFeed) {
    box.Read(12).Write(Reply(wire::kToolVersion, 0, 0)).Write(Refusal("Password error"));
    Connect();
    EXPECT_EQ(session.Login("0000"), 0);
    EXPECT_EQ(session.State(), BoxSession::kNotLoggedIn);
    EXPECT_EQ(sinks.lines, std::vector<std::string>({"PC > Login FAIL:", "Password error", "\n"}));
}

TEST_F(SessionTest, LoginRefusalFillingItsWholeFieldIsNotReadPastIt) {
    box.Read(12).Write(Reply(wire::kToolVersion, 0, 0)).Write(ScriptedBox::Bytes(128, 'x'));
    Connect();
    EXPECT_EQ(session.Login("0000"), 0);
    ASSERT_EQ(sinks.lines.size(), 3u);
    EXPECT_EQ(sinks.lines[1], std::string(128, 'x'));
}

TEST_F(SessionTest, LoginWithoutWholeReplyReturnsTwo) {
    box.Read(12).Write(ScriptedBox::Bytes{0, 0, 1}).Close();
    Connect();
    socket.SetIoTimeoutMs(1000);
    EXPECT_EQ(session.Login("7351"), 2);
    EXPECT_EQ(session.State(), BoxSession::kNotLoggedIn);
    EXPECT_TRUE(sinks.lines.empty());
}

TEST_F(SessionTest, LoginReplyArrivingInPiecesIsReassembled) {
    box.Read(12).Write(Reply(wire::kToolVersion, 0, 1), 1);
    Connect();
    EXPECT_EQ(session.Login("7351"), 1);
}

TEST_F(SessionTest, ListCopiesRecordsAndKeepsState) {
    wire::ListPayload payload;
    payload.count = 3;
    const char* rows[][2] = {{"A", "f1"}, {"B", "f2"}, {"A", "f3"}};
    for (int i = 0; i < 3; ++i) {
        std::strcpy(payload.records[i].group, rows[i][0]);
        std::strcpy(payload.records[i].name, rows[i][1]);
        payload.records[i].type = i + 1;
    }
    ScriptLogin();
    box.Read(4).Write(Reply(1460, 0, 0)).Write(B(wire::EncodeListPayload(payload)), 100);
    Connect();
    ASSERT_EQ(session.Login("7351"), 1);
    wire::ListRecord records[28];
    int count = -1;
    EXPECT_EQ(session.ListFiles(records, &count), 1);
    ASSERT_EQ(count, 3);
    EXPECT_STREQ(records[2].group, "A");
    EXPECT_STREQ(records[2].name, "f3");
    EXPECT_EQ(records[2].type, 3);
    EXPECT_EQ(session.State(), BoxSession::kLoggedIn);
    EXPECT_TRUE(sinks.lines.size() == 2);  // only the login's lines
    const ScriptedBox::Bytes received = Received();
    EXPECT_EQ(ScriptedBox::Bytes(received.begin() + 12, received.end()), Header(2));
}

TEST_F(SessionTest, ListWithWrongLengthFailsWithoutReadingPayload) {
    for (uint16_t value : {1459, 1461}) {
        ScriptedBox other;
        other.Read(12).Write(Reply(wire::kToolVersion, 0, 1)).Read(4).Write(Reply(value, 0, 1));
        other.Start();
        ASSERT_TRUE(socket.Connect("127.0.0.1", other.Port(), 5000));
        ASSERT_EQ(session.Login("7351"), 1);
        wire::ListRecord records[28];
        int count = 99;
        EXPECT_EQ(session.ListFiles(records, &count), 0);
        EXPECT_EQ(count, 99);
        EXPECT_EQ(session.State(), BoxSession::kNotLoggedIn);
        socket.Close();
        other.Finish();
    }
}

TEST_F(SessionTest, ListCountsOutsideTheRecordRangeGiveTheRecordsThatExist) {
    struct Case {
        int32_t count;
        int expected;
    } cases[] = {{0, 0}, {28, 28}, {29, 28}, {1000000, 28}, {-1, 0}, {INT32_MIN, 0}};
    for (const Case& c : cases) {
        wire::Bytes<1460> payload{};
        wire::ListPayload full;
        full.count = 28;
        for (auto& r : full.records) {
            std::memset(r.group, 'g', 15);
            std::memset(r.name, 'n', 31);
        }
        payload = wire::EncodeListPayload(full);
        // Fields filled to their last byte, no terminator.
        for (int i = 0; i < 28; ++i) {
            payload[4 + i * 52 + 15] = 'G';
            payload[4 + i * 52 + 16 + 31] = 'N';
        }
        payload[0] = static_cast<uint8_t>(c.count);
        payload[1] = static_cast<uint8_t>(c.count >> 8);
        payload[2] = static_cast<uint8_t>(c.count >> 16);
        payload[3] = static_cast<uint8_t>(static_cast<uint32_t>(c.count) >> 24);
        ScriptedBox other;
        other.Read(4).Write(Reply(1460, 0, 1)).Write(payload);
        other.Start();
        ASSERT_TRUE(socket.Connect("127.0.0.1", other.Port(), 5000));
        wire::ListRecord records[28];
        int count = -1;
        EXPECT_EQ(session.ListFiles(records, &count), 1) << c.count;
        EXPECT_EQ(count, c.expected) << c.count;
        // The count as sent tells a malformed list from a full one.
        EXPECT_EQ(session.LastListCount(), c.count);
        if (count > 0) {
            EXPECT_EQ(std::strlen(records[0].group), 15u);
            EXPECT_EQ(std::strlen(records[27].name), 31u);
            EXPECT_TRUE(records[27].nameFillsField);
        }
        socket.Close();
        other.Finish();
    }
}

TEST_F(SessionTest, ListShortPayloadFails) {
    box.Read(4).Write(Reply(1460, 0, 1)).Write(ScriptedBox::Bytes(1000, 0)).Close();
    Connect();
    wire::ListRecord records[28];
    int count = 7;
    EXPECT_EQ(session.ListFiles(records, &count), 0);
    EXPECT_EQ(count, 7);
    EXPECT_TRUE(sinks.lines.empty());
}

TEST_F(SessionTest, LogoutSendsOnlyWhenLoggedInAndOnlyOnce) {
    ScriptLogin();
    Connect();
    EXPECT_EQ(session.Logout(), 0);  // not logged in yet: nothing sent
    ASSERT_EQ(session.Login("7351"), 1);
    EXPECT_EQ(session.Logout(), 0);
    EXPECT_EQ(session.Logout(), 0);
    EXPECT_EQ(session.State(), BoxSession::kNotLoggedIn);
    EXPECT_TRUE(socket.IsConnected());  // the caller closes it
    EXPECT_EQ(Received(), Concat({LoginRequest("7351"), Header(5)}));
}
