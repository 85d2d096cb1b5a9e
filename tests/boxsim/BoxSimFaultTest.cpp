// The fault modes, start failures and stopping, over real loopback TCP.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "BoxSimFixture.h"
#include "WireBytes.h"
#include "boxsim/BoxSimSession.h"
#include "boxsim/StoredUpload.h"

namespace {

using BoxFaults = BoxSimFixture;

TEST_F(BoxFaults, RefuseLoginSendsTheTextWhateverThePassword) {
    BoxSimOptions o = DefaultOptions();
    o.refuseLogin = "Box is busy recording";
    StartBox(o);
    auto pc = Connect();
    ASSERT_TRUE(pc->Send(kLoginRequest));
    EXPECT_EQ(pc->Receive(134),
              Concat({{0, 0, 0x01, 0x10, 0, 0}, Refusal("Box is busy recording")}));
    EXPECT_EQ(box_->Stats().loginsRefused, 1);
}

TEST_F(BoxFaults, RefuseDumpAndUploadSendTheirTexts) {
    WriteFile("a.txt", "a");
    WriteManifest("G a.txt 1\n");
    BoxSimOptions o = DefaultOptions();
    o.refuseDump = "Disk busy";
    o.refuseUpload = "Read-only box";
    StartBox(o);
    auto pc = ConnectAndLogin();
    ASSERT_TRUE(pc->Send(Concat({Header(3), NameField("a.txt")})));
    EXPECT_EQ(pc->Receive(134), Concat({kRefusedReply, Refusal("Disk busy")}));
    ASSERT_TRUE(pc->Send(Concat({Header(4), NameField("b.txt")})));
    EXPECT_EQ(pc->Receive(134), Concat({kRefusedReply, Refusal("Read-only box")}));
    EXPECT_TRUE(pc->QuietFor(50));
    EXPECT_FALSE(Exists("b.txt"));
}

TEST_F(BoxFaults, LongRefusalTextIsCutToItsField) {
    BoxSimOptions o = DefaultOptions();
    o.refuseLogin = std::string(200, 'r');
    StartBox(o);
    auto pc = Connect();
    ASSERT_TRUE(pc->Send(kLoginRequest));
    const Bytes got = pc->Receive(134);
    ASSERT_EQ(got.size(), 134u);
    EXPECT_EQ(got[5], 0);
    EXPECT_EQ(got[6 + 126], 'r');
    EXPECT_EQ(got[6 + 127], 0);
    EXPECT_TRUE(pc->QuietFor(50));
}

TEST_F(BoxFaults, NoLoginReplyReadsTheRequestAndSendsNothing) {
    BoxSimOptions o = DefaultOptions();
    o.noLoginReply = true;
    StartBox(o);
    auto pc = Connect();
    ASSERT_TRUE(pc->Send(kLoginRequest));
    pc->ShutdownSend();
    EXPECT_TRUE(pc->ClosedWithoutMoreData(3000));
    ASSERT_TRUE(box_->WaitFor([](const BoxSimStats& s) { return s.connectionsEnded == 1; }, 3000));
    EXPECT_EQ(box_->Received(), kLoginRequest);
    EXPECT_EQ(box_->Stats().loginsUnanswered, 1);
    EXPECT_EQ(box_->Stats().loginsAccepted, 0);
}

TEST_F(BoxFaults, CloseAfterRecordsEndsTheConnectionOnlyWithinTheDownload) {
    const struct {
        int bytes;
        int closeAfter;
        std::vector<int> flags;  // of the records sent before the end
        bool completes;          // the file ends before the count does
    } cases[] = {
        {5000, 2, {2, 2}, false},  // mid download
        {3, 0, {}, false},         // right after accepting
        {3, 1, {3}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("close after " + std::to_string(c.closeAfter));
        WriteFile("a.bin", RepeatableBytes(c.bytes, 9));
        WriteManifest("G a.bin 0\n");
        BoxSimOptions o = DefaultOptions();
        o.closeAfterRecords = c.closeAfter;
        StartBox(o);
        auto pc = ConnectAndLogin();
        ASSERT_TRUE(pc->Send(Concat({Header(3), NameField("a.bin")})));
        EXPECT_EQ(pc->Receive(6), kAccepted);
        for (const int flag : c.flags) {
            EXPECT_EQ(ParseRecord(pc->Receive(1036)).flag, flag);
            ASSERT_TRUE(pc->Send(kAck));
        }
        if (c.completes) {
            ASSERT_TRUE(
                box_->WaitFor([](const BoxSimStats& s) { return s.dumpsCompleted == 1; }, 3000));
            EXPECT_TRUE(pc->QuietFor(50));
            continue;
        }
        EXPECT_TRUE(pc->ClosedWithoutMoreData(3000));
        ASSERT_TRUE(
            box_->WaitFor([](const BoxSimStats& s) { return s.connectionsEnded == 1; }, 3000));
        const BoxSimStats s = box_->Stats();
        EXPECT_EQ(s.recordsSent, static_cast<int>(c.flags.size()));
        EXPECT_EQ(s.dumpsBrokenOff, 1);
        EXPECT_EQ(s.dumpsCompleted, 0);
    }
}

TEST_F(BoxFaults, PiecesCarryTheSameBytesInSeveralParts) {
    WriteManifest("Settings config.txt 1\n");
    BoxSimOptions o = DefaultOptions();
    o.pieceSize = 500;
    o.pieceDelayMs = 40;
    StartBox(o);
    auto pc = ConnectAndLogin();
    ASSERT_TRUE(pc->Send(Header(2)));
    EXPECT_EQ(pc->Receive(6), Bytes({0, 0, 0xB4, 0x05, 0, 1}));
    // 1460 bytes in pieces of 500: the first read after the first piece
    // arrives cannot hold the whole payload (the next piece is 40 ms away).
    Bytes payload = pc->ReceiveOnce(1460);
    EXPECT_LE(payload.size(), 500u);
    const Bytes rest = pc->Receive(1460 - payload.size());
    payload.insert(payload.end(), rest.begin(), rest.end());
    ASSERT_EQ(payload.size(), 1460u);
    EXPECT_EQ(wire::GetI32(&payload[0]), 1);
    EXPECT_STREQ(reinterpret_cast<const char*>(&payload[4 + 16]), "config.txt");
}

TEST_F(BoxFaults, PaceHoldsBackEveryAnswer) {
    WriteFile("a.bin", std::string(1500, 'a'));
    WriteManifest("G a.bin 0\n");
    BoxSimOptions o = DefaultOptions();
    o.paceMs = 400;
    StartBox(o);
    auto pc = Connect();
    // Each answer comes only after the pace: nothing in the first 200 ms
    // after a request or an acknowledgement, then the answer itself.
    ASSERT_TRUE(pc->Send(kLoginRequest));
    EXPECT_TRUE(pc->QuietFor(200));
    EXPECT_EQ(pc->Receive(6).at(5), 1);
    ASSERT_TRUE(pc->Send(Concat({Header(3), NameField("a.bin")})));
    EXPECT_TRUE(pc->QuietFor(200));
    EXPECT_EQ(pc->Receive(6), kAccepted);
    EXPECT_TRUE(pc->QuietFor(200));
    EXPECT_EQ(ParseRecord(pc->Receive(1036)).length, 1024);
    ASSERT_TRUE(pc->Send(kAck));
    EXPECT_TRUE(pc->QuietFor(200));
    EXPECT_EQ(ParseRecord(pc->Receive(1036)).length, 476);
}

TEST_F(BoxFaults, StopEndsAConnectedClientPromptly) {
    StartBox();
    auto pc = ConnectAndLogin();
    // The box is waiting for the next request without a time limit.
    const auto start = std::chrono::steady_clock::now();
    box_->Stop();
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_LT(took, std::chrono::seconds(2));
    EXPECT_FALSE(box_->Running());
    EXPECT_TRUE(pc->ClosedWithoutMoreData(3000));
    // No longer listening.
    TestClient late;
    EXPECT_FALSE(late.Connect(box_->Port()) && late.Login("7351"));
    box_->Stop();
}

TEST_F(BoxFaults, StopDuringAnUploadRemovesTheTemporaryFile) {
    StartBox();
    auto pc = ConnectAndLogin();
    ASSERT_TRUE(pc->Send(Concat({Header(4), NameField("half.bin"), Block(2, "x", 1024)})));
    EXPECT_EQ(pc->Receive(12), Concat({kAccepted, kAccepted}));
    box_->Stop();
    EXPECT_FALSE(Exists("half.bin"));
    EXPECT_FALSE(Exists(std::string(StoredUpload::kTemporaryPrefix) + "half.bin.part"));
}

TEST_F(BoxFaults, MaxConnectionsEndsServingAfterThatMany) {
    BoxSimOptions o = DefaultOptions();
    o.maxConnections = 1;
    StartBox(o);
    { auto pc = ConnectAndLogin(); }
    ASSERT_TRUE(box_->WaitFor([](const BoxSimStats& s) { return s.connectionsEnded == 1; }, 3000));
    for (int i = 0; i < 100 && box_->Running(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_FALSE(box_->Running());
}

TEST_F(BoxFaults, StartFailsWithAReason) {
    std::string error;
    {
        BoxSimOptions o = DefaultOptions();
        o.folder = (folder_ / "missing").string();
        BoxSimulator box(o);
        EXPECT_FALSE(box.Start(&error));
        EXPECT_NE(error.find("does not exist"), std::string::npos) << error;
    }
    {
        WriteManifest("G a.txt 1\nG b.txt\n");
        BoxSimulator box(DefaultOptions());
        EXPECT_FALSE(box.Start(&error));
        EXPECT_NE(error.find("manifest.txt: line 2: expected GROUP NAME TYPE"), std::string::npos)
            << error;
        WriteManifest("");
    }
    {
        BoxSimOptions o = DefaultOptions();
        o.manifestName = "other.txt";
        BoxSimulator box(o);
        EXPECT_FALSE(box.Start(&error));
        EXPECT_NE(error.find("other.txt: does not exist"), std::string::npos) << error;
    }
    {
        BoxSimOptions o = DefaultOptions();
        o.password = "12345";
        BoxSimulator box(o);
        EXPECT_FALSE(box.Start(&error));
        EXPECT_NE(error.find("4 characters"), std::string::npos) << error;
    }
    {
        BoxSimOptions o = DefaultOptions();
        o.listenAddress = "not-an-address";
        BoxSimulator box(o);
        EXPECT_FALSE(box.Start(&error));
        EXPECT_NE(error.find("cannot listen on not-an-address:0"), std::string::npos) << error;
    }
    {
        BoxSimulator& first = StartBox();
        BoxSimOptions o = DefaultOptions();
        o.port = first.Port();
        BoxSimulator box(o);
        EXPECT_FALSE(box.Start(&error));
        EXPECT_NE(error.find("cannot listen on 127.0.0.1:" + std::to_string(o.port)),
                  std::string::npos)
            << error;
        std::string again;
        EXPECT_FALSE(first.Start(&again));
        EXPECT_EQ(again, "already started");
    }
}

}  // namespace
