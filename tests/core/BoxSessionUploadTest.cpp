#include "tests/core/SessionFixture.h"
#include "tests/support/RepeatableBytes.h"

namespace {

ScriptedBox::Bytes Block(int32_t flag, const std::string& data) {
    wire::UploadBlock b;
    b.flag = flag;
    b.count = static_cast<int32_t>(data.size());
    std::copy(data.begin(), data.end(), b.data.begin());
    return B(wire::EncodeUploadBlock(b));
}

}  // namespace

class UploadTest : public SessionTest {
protected:
    // Accepts the upload request and answers `blocks` blocks.
    void ScriptAccepted(int blocks, uint8_t followUp = 0) {
        box.Read(36).Write(Reply(0, followUp, 1));
        for (int i = 0; i < blocks; ++i) {
            box.Read(1032).Write(Reply(0, 0, 1));
        }
    }
};

TEST_F(UploadTest, BlockSequencesFollowTheFileSize) {
    struct Case {
        size_t size;
        std::vector<size_t> counts;
        std::vector<int> reports;
    } cases[] = {
        {0, {0}, {100}},
        {1500, {1024, 476}, {68, 100}},
        {2048, {1024, 1024, 0}, {50, 100, 100}},
        {1, {1}, {100}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        const std::string content = RepeatableBytes(c.size, 1);
        WriteFile("up.bin", content);
        ScriptedBox other;
        other.Read(36).Write(Reply(0, 0, 1));
        for (size_t i = 0; i < c.counts.size(); ++i) {
            other.Read(1032).Write(Reply(0, 0, 1));
        }
        other.Start();
        ASSERT_TRUE(socket.Connect("127.0.0.1", other.Port(), 5000));
        sinks.lines.clear();
        sinks.reports.clear();
        EXPECT_EQ(session.Upload("up.bin"), 1);
        EXPECT_EQ(sinks.reports, c.reports);
        EXPECT_EQ(
            sinks.All(),
            "\nPC > Start to upload file to BOX:up.bin...\nPC > Wait BOX to process data...\n");
        ScriptedBox::Bytes expected = Concat({Header(4), Name("up.bin")});
        size_t offset = 0;
        for (size_t i = 0; i < c.counts.size(); ++i) {
            const bool last = i + 1 == c.counts.size();
            const auto block = Block(last ? 3 : 2, content.substr(offset, c.counts[i]));
            expected.insert(expected.end(), block.begin(), block.end());
            offset += c.counts[i];
        }
        socket.Close();
        EXPECT_EQ(other.FirstReceived(), expected);
    }
}

TEST_F(UploadTest, RefusedLogsTheBoxTextAndKeepsState) {
    WriteFile("cfg.txt", "x");
    ScriptLogin();
    box.Read(36).Write(Reply(0, 0, 7)).Write(Refusal("File is read only"));
    Connect();
    ASSERT_EQ(session.Login("7351"), 1);
    sinks.lines.clear();
    EXPECT_EQ(session.Upload("cfg.txt"), 0);
    EXPECT_EQ(sinks.lines, std::vector<std::string>({"File is read only", "\n"}));
    EXPECT_EQ(session.State(), BoxSession::kLoggedIn);
    EXPECT_EQ(session.LastOutcome(), TransferOutcome::kRefused);
}

TEST_F(UploadTest, MissingLocalFileSendsNothing) {
    box.Start();
    ASSERT_TRUE(socket.Connect("127.0.0.1", box.Port(), 5000));
    EXPECT_EQ(session.Upload("absent.txt"), 0);
    EXPECT_EQ(sinks.All(), "PC > Can not open local file:absent.txt !\n");
    EXPECT_EQ(session.LastOutcome(), TransferOutcome::kLocalFailed);
    EXPECT_TRUE(Received().empty());
}

TEST_F(UploadTest, WaitPhaseMessagesAreLoggedUntilDone) {
    WriteFile("fw.bin", "firmware");
    ScriptAccepted(1, 2);
    box.Write(Record(0, 2, "Checking"))
        .Write(Record(0, 2, "Writing"), 100)
        .Write(Record(0, 3, "Done"));
    Connect();
    EXPECT_EQ(session.Upload("fw.bin"), 1);
    const std::vector<std::string> tail(sinks.lines.end() - 6, sinks.lines.end());
    EXPECT_EQ(tail, std::vector<std::string>({"Checking", "\n", "Writing", "\n", "Done", "\n"}));
    EXPECT_TRUE(socket.IsConnected());
}

TEST_F(UploadTest, WaitPhaseFailureClosesTheSocket) {
    WriteFile("fw.bin", "firmware");
    ScriptLogin();
    ScriptAccepted(1, 2);
    box.Write(Record(0, 2, "Checking")).Write(Record(0, 4, "Checksum error"));
    Connect();
    ASSERT_EQ(session.Login("7351"), 1);
    EXPECT_EQ(session.Upload("fw.bin"), -1);
    EXPECT_EQ(sinks.lines[sinks.lines.size() - 2], "Checksum error");
    EXPECT_FALSE(socket.IsConnected());
    EXPECT_EQ(session.State(), BoxSession::kNotLoggedIn);
    EXPECT_EQ(session.LastOutcome(), TransferOutcome::kBoxFailed);
}

TEST_F(UploadTest, WaitPhaseShortRecordKeepsTheFlagItBrought) {
    WriteFile("fw.bin", "firmware");
    ScriptAccepted(1, 2);
    box.Write(ScriptedBox::Bytes{0, 0, 0, 0, 4, 0, 0, 0, 'x'}).Close();
    Connect();
    socket.SetIoTimeoutMs(1000);
    EXPECT_EQ(session.Upload("fw.bin"), -1);
    EXPECT_FALSE(socket.IsConnected());
}

TEST_F(UploadTest, WaitPhaseWithoutRecordsEndsQuietly) {
    WriteFile("fw.bin", "firmware");
    ScriptAccepted(1, 2);
    box.Close();
    Connect();
    EXPECT_EQ(session.Upload("fw.bin"), 1);
    EXPECT_EQ(sinks.lines.back(), "PC > Wait BOX to process data...\n");
}

TEST_F(UploadTest, MissingBlockReplyStopsWithReadDataError) {
    WriteFile("big.bin", RepeatableBytes(5000, 1));
    ScriptAccepted(2);
    box.Read(1032).Close();
    Connect();
    EXPECT_EQ(session.Upload("big.bin"), 0);
    EXPECT_EQ(sinks.lines.back(), "PC > Read data error, please check the connect !\n");
    EXPECT_EQ(sinks.reports, std::vector<int>({20, 40}));
    EXPECT_EQ(session.LastOutcome(), TransferOutcome::kLinkFailed);
}

TEST_F(UploadTest, MissingRequestReplyStopsBeforeAnyBlock) {
    WriteFile("a.txt", "a");
    box.Read(36).Close();
    Connect();
    EXPECT_EQ(session.Upload("a.txt"), 0);
    EXPECT_EQ(sinks.All(), "PC > Read data error, please check the connect !\n");
    EXPECT_TRUE(sinks.reports.empty());
}
