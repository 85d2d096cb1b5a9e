#include <filesystem>

#include "box/DownloadFile.h"
#include "tests/core/SessionFixture.h"
#include "tests/support/RepeatableBytes.h"

TEST_F(SessionTest, DumpWritesRecordsAcknowledgesEachAndReportsProgress) {
    const std::string a = RepeatableBytes(1024, 'a'), b = RepeatableBytes(1024, 'b'),
                      c = RepeatableBytes(452, 'c');
    box.Read(36)
        .Write(Reply(0, 0, 1))
        .Write(Record(40, 2, a))
        .Read(6)
        .Write(Record(81, 2, b), 300)
        .Read(6)
        .Write(Record(100, 3, c))
        .Read(6);
    Connect();
    EXPECT_EQ(session.Dump("data.bin"), 1);
    EXPECT_EQ(ReadFile("data.bin"), a + b + c);
    EXPECT_EQ(sinks.reports, std::vector<int>({0, 40, 81, 100, 100}));
    EXPECT_EQ(sinks.All(), "\nPC > Start to dump file:data.bin... \n\nPC > Dump finished !\n");
    EXPECT_EQ(session.LastOutcome(), TransferOutcome::kDone);
    EXPECT_FALSE(Exists(DownloadFile::TemporaryName("data.bin")));
    EXPECT_EQ(Received(), Concat({Header(3), Name("data.bin"), Ack(), Ack(), Ack()}));
}

TEST_F(SessionTest, DumpRecordFieldsOutOfRange) {
    // Percent above 100 or negative is not reported; length 0 or below writes
    // nothing; a length above 1024 writes the 1024 bytes that exist.
    box.Read(36)
        .Write(Reply(0, 0, 1))
        .Write(Record(101, 2, "abc"))
        .Read(6)
        .Write(Record(-1, 2, "zzz", 0))
        .Read(6)
        .Write(Record(50, 2, "yyy", -5))
        .Read(6)
        .Write(Record(100, 3, std::string(1024, 'q'), 5000))
        .Read(6);
    Connect();
    EXPECT_EQ(session.Dump("odd"), 1);
    EXPECT_EQ(ReadFile("odd"), "abc" + std::string(1024, 'q'));
    EXPECT_EQ(sinks.reports, std::vector<int>({0, 50, 100, 100}));
}

TEST_F(SessionTest, DumpOfEmptyFileReplacesExistingFile) {
    WriteFile("empty.txt", "old contents");
    box.Read(36).Write(Reply(0, 0, 1)).Write(Record(100, 3, "")).Read(6);
    Connect();
    EXPECT_EQ(session.Dump("empty.txt"), 1);
    EXPECT_TRUE(Exists("empty.txt"));
    EXPECT_EQ(ReadFile("empty.txt"), "");
}

TEST_F(SessionTest, DumpRefusedReturnsOneEndsLoginAndCreatesNothing) {
    ScriptLogin();
    box.Read(36).Write(Reply(0, 0, 0)).Write(Refusal("no such file"));
    Connect();
    ASSERT_EQ(session.Login("7351"), 1);
    sinks.lines.clear();
    EXPECT_EQ(session.Dump("gone.txt"), 1);
    EXPECT_EQ(session.State(), BoxSession::kNotLoggedIn);
    EXPECT_EQ(session.LastOutcome(), TransferOutcome::kRefused);
    EXPECT_EQ(sinks.All(), "\nPC > Start to dump file:gone.txt... \n\nPC > read file fail!\n");
    EXPECT_FALSE(Exists("gone.txt"));
    EXPECT_TRUE(sinks.reports.empty());
}

TEST_F(SessionTest, DumpBrokenOffKeepsEarlierFileAndLeavesNoPartialFile) {
    WriteFile("keep.bin", "earlier contents");
    box.Read(36)
        .Write(Reply(0, 0, 1))
        .Write(Record(50, 2, RepeatableBytes(1024, 'k')))
        .Read(6)
        .Write(ScriptedBox::Bytes(500, 1))
        .Close();
    Connect();
    EXPECT_EQ(session.Dump("keep.bin"), 0);
    EXPECT_EQ(ReadFile("keep.bin"), "earlier contents");
    EXPECT_FALSE(Exists(DownloadFile::TemporaryName("keep.bin")));
    EXPECT_EQ(sinks.lines.back(), "PC > Read data error, please check the connect !\n");
    EXPECT_EQ(session.LastOutcome(), TransferOutcome::kLinkFailed);
}

TEST_F(SessionTest, DumpRecordInPiecesIsReassembled) {
    box.Read(36).Write(Reply(0, 0, 1), 1).Write(Record(100, 3, "whole"), 7).Read(6);
    Connect();
    EXPECT_EQ(session.Dump("pieces"), 1);
    EXPECT_EQ(ReadFile("pieces"), "whole");
}

TEST_F(SessionTest, DumpReplyMissingIsAReadFileError) {
    ScriptLogin();
    box.Read(36).Close();
    Connect();
    ASSERT_EQ(session.Login("7351"), 1);
    EXPECT_EQ(session.Dump("x"), 0);
    EXPECT_EQ(session.State(), BoxSession::kNotLoggedIn);
    EXPECT_EQ(sinks.lines.back(), "PC > Read file error, please check the connect !\n");
}

TEST_F(SessionTest, DumpRequestNotSentIsAReadFileError) {
    // Never connected: nothing can be sent.
    EXPECT_EQ(session.Dump("x"), 0);
    EXPECT_EQ(session.State(), BoxSession::kNotLoggedIn);
    EXPECT_EQ(
        sinks.All(),
        "\nPC > Start to dump file:x... \nPC > Read file error, please check the connect !\n");
}

TEST_F(SessionTest, UnsafeNamesAreRefusedBeforeAnythingIsSent) {
    const std::string tooLong(32, 'n');
    const char* names[] = {
        "", ".", "..", "a/b", "..\\evil", "c:evil", "../up", tooLong.c_str(), "line\nbreak"};
    box.Start();  // accepts, and records that nothing arrives
    ASSERT_TRUE(socket.Connect("127.0.0.1", box.Port(), 5000));
    for (const char* name : names) {
        sinks.lines.clear();
        EXPECT_EQ(session.Dump(name), 0) << name;
        EXPECT_EQ(session.LastOutcome(), TransferOutcome::kBadName);
        EXPECT_EQ(session.Upload(name), 0) << name;
        EXPECT_EQ(session.LastOutcome(), TransferOutcome::kBadName);
        ASSERT_EQ(sinks.lines.size(), 2u);
        EXPECT_EQ(sinks.lines[0].rfind("PC > ", 0), 0u);
    }
    EXPECT_EQ(session.Dump(nullptr), 0);
    EXPECT_TRUE(Received().empty());
    EXPECT_TRUE(std::filesystem::is_empty(std::filesystem::current_path()));
}

TEST_F(SessionTest, DumpIntoUncreatableFileKeepsTheLinkInStep) {
    // A directory where the temporary file would go makes the file uncreatable.
    std::filesystem::create_directory(DownloadFile::TemporaryName("blocked"));
    wire::ListPayload empty;
    box.Read(36)
        .Write(Reply(0, 0, 1))
        .Write(Record(50, 2, "aaaa"))
        .Read(6)
        .Write(Record(100, 3, "bbbb"))
        .Read(6)
        .Read(4)
        .Write(Reply(1460, 0, 1))
        .Write(B(wire::EncodeListPayload(empty)));
    Connect();
    EXPECT_EQ(session.Dump("blocked"), 0);
    EXPECT_EQ(session.LastOutcome(), TransferOutcome::kLocalFailed);
    EXPECT_EQ(sinks.lines.back(), "PC > Can not create local file:blocked !\n");
    EXPECT_FALSE(Exists("blocked"));
    wire::ListRecord records[28];
    int count = -1;
    EXPECT_EQ(session.ListFiles(records, &count), 1);  // still in step
    EXPECT_EQ(count, 0);
}
