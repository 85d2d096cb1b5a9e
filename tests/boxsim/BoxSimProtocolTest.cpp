// The box side of each command, byte for byte, over real loopback TCP.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <iterator>

#include "BoxSimFixture.h"
#include "WireBytes.h"
#include "box/ByteOrder.h"
#include "boxsim/BoxSimSession.h"
#include "boxsim/StoredUpload.h"

namespace {

using BoxProtocol = BoxSimFixture;

TEST_F(BoxProtocol, LoginAnswersVersionAndStatus) {
    BoxSimOptions o = DefaultOptions();
    o.requiredVersion = 0x1234;
    StartBox(o);
    auto pc = Connect();
    ASSERT_TRUE(pc->Send(kLoginRequest));
    EXPECT_EQ(pc->Receive(6), Bytes({0, 0, 0x34, 0x12, 0, 1}));
    // Wrong password: status 0, the same version, then the refusal text.
    ASSERT_TRUE(pc->Send(Bytes{1, 0, 8, 0, 0, 0, 0, 0, '7', '3', '5', 0}));
    EXPECT_EQ(pc->Receive(6 + 128),
              Concat({{0, 0, 0x34, 0x12, 0, 0}, Refusal(BoxSimSession::kWrongPassword)}));
    EXPECT_TRUE(pc->QuietFor(50));
    EXPECT_EQ(box_->Received(),
              Concat({kLoginRequest, {1, 0, 8, 0, 0, 0, 0, 0, '7', '3', '5', 0}}));
    const BoxSimStats s = box_->Stats();
    EXPECT_EQ(s.loginsAccepted, 1);
    EXPECT_EQ(s.loginsRefused, 1);
}

TEST_F(BoxProtocol, ShortPasswordIsZeroPaddedAndReservedWordIgnored) {
    BoxSimOptions o = DefaultOptions();
    o.password = "42";
    StartBox(o);
    auto pc = Connect();
    ASSERT_TRUE(pc->Send(Bytes{1, 0, 8, 0, 9, 9, 9, 9, '4', '2', 0, 0}));
    EXPECT_EQ(pc->Receive(6), Bytes({0, 0, 0x01, 0x10, 0, 1}));
    ASSERT_TRUE(pc->Send(Bytes{1, 0, 8, 0, 0, 0, 0, 0, '4', '2', '0', 0}));
    EXPECT_EQ(pc->Receive(6)[5], 0);
}

TEST_F(BoxProtocol, ListSendsTheManifestInOrder) {
    WriteManifest("# files\nSettings config.txt 1\n\"TV Lists\" chan.db 2\nSettings x.bin -5\n");
    StartBox();
    auto pc = ConnectAndLogin();
    box_->ClearReceived();
    ASSERT_TRUE(pc->Send(Header(2)));
    EXPECT_EQ(pc->Receive(6), Bytes({0, 0, 0xB4, 0x05, 0, 1}));
    const Bytes payload = pc->Receive(1460);
    ASSERT_EQ(payload.size(), 1460u);
    EXPECT_EQ(Bytes(payload.begin(), payload.begin() + 4), Bytes({3, 0, 0, 0}));
    Bytes expected(1460, 0);
    expected[0] = 3;
    auto put = [&](int i, const char* group, const char* name, int32_t type) {
        uint8_t* rec = &expected[4 + i * 52];
        std::memcpy(rec, group, std::strlen(group));
        std::memcpy(rec + 16, name, std::strlen(name));
        wire::PutI32(rec + 48, type);
    };
    put(0, "Settings", "config.txt", 1);
    put(1, "TV Lists", "chan.db", 2);
    put(2, "Settings", "x.bin", -5);
    EXPECT_EQ(payload, expected);
    EXPECT_TRUE(pc->QuietFor(50));
    EXPECT_EQ(box_->Received(), Header(2));
}

TEST_F(BoxProtocol, ListOfAFullManifestCarries28Records) {
    std::string text;
    for (int i = 0; i < 28; ++i) {
        text += "Group" + std::to_string(i % 3) + " file" + std::to_string(i) + ".bin " +
                std::to_string(i) + "\n";
    }
    WriteManifest(text);
    StartBox();
    auto pc = ConnectAndLogin();
    ASSERT_TRUE(pc->Send(Header(2)));
    ASSERT_EQ(pc->Receive(6)[2], 0xB4);
    const Bytes payload = pc->Receive(1460);
    ASSERT_EQ(payload.size(), 1460u);
    EXPECT_EQ(wire::GetI32(&payload[0]), 28);
    const uint8_t* last = &payload[4 + 27 * 52];
    EXPECT_STREQ(reinterpret_cast<const char*>(last), "Group0");
    EXPECT_STREQ(reinterpret_cast<const char*>(last + 16), "file27.bin");
    EXPECT_EQ(wire::GetI32(last + 48), 27);
}

TEST_F(BoxProtocol, EmptyManifestListsNothing) {
    StartBox();
    auto pc = ConnectAndLogin();
    ASSERT_TRUE(pc->Send(Header(2)));
    EXPECT_EQ(pc->Receive(6 + 1460), Concat({{0, 0, 0xB4, 0x05, 0, 1}, Bytes(1460, 0)}));
}

TEST_F(BoxProtocol, ListBeforeLoginGetsNoPayload) {
    WriteManifest("G a.txt 1\n");
    StartBox();
    auto pc = Connect();
    ASSERT_TRUE(pc->Send(Header(2)));
    EXPECT_EQ(pc->Receive(6), kRefusedReply);
    EXPECT_TRUE(pc->QuietFor(100));
}

TEST_F(BoxProtocol, DumpSendsRecordsOneAcknowledgementAtATime) {
    const std::string content = RepeatableBytes(2500, 7);
    WriteFile("data.bin", content);
    WriteManifest("G data.bin 2\n");
    StartBox();
    auto pc = ConnectAndLogin();
    box_->ClearReceived();
    ASSERT_TRUE(pc->Send(Concat({Header(3), NameField("data.bin")})));
    EXPECT_EQ(pc->Receive(6), kAccepted);
    const Record r1 = ParseRecord(pc->Receive(1036));
    EXPECT_EQ(r1.percent, 40);
    EXPECT_EQ(r1.flag, 2);
    EXPECT_EQ(r1.length, 1024);
    // The next record waits for the acknowledgement.
    EXPECT_TRUE(pc->QuietFor(100));
    ASSERT_TRUE(pc->Send(kAck));
    const Record r2 = ParseRecord(pc->Receive(1036));
    EXPECT_EQ(r2.percent, 81);
    EXPECT_EQ(r2.flag, 2);
    EXPECT_EQ(r2.length, 1024);
    ASSERT_TRUE(pc->Send(kAck));
    const Record r3 = ParseRecord(pc->Receive(1036));
    EXPECT_EQ(r3.percent, 100);
    EXPECT_EQ(r3.flag, 3);
    EXPECT_EQ(r3.length, 452);
    ASSERT_TRUE(pc->Send(kAck));
    EXPECT_EQ(r1.data + r2.data + r3.data, content);
    EXPECT_TRUE(box_->WaitFor([](const BoxSimStats& s) { return s.dumpsCompleted == 1; }, 3000));
    EXPECT_EQ(box_->Received(), Concat({Header(3), NameField("data.bin"), kAck, kAck, kAck}));
    EXPECT_EQ(box_->Stats().recordsSent, 3);
}

TEST_F(BoxProtocol, DumpOfWholeKilobytesEndsWithAFullLastRecord) {
    const std::string content = RepeatableBytes(2048, 3);
    WriteFile("two.bin", content);
    WriteManifest("G two.bin 0\n");
    StartBox();
    auto pc = ConnectAndLogin();
    ASSERT_TRUE(pc->Send(Concat({Header(3), NameField("two.bin")})));
    EXPECT_EQ(pc->Receive(6), kAccepted);
    const Record r1 = ParseRecord(pc->Receive(1036));
    ASSERT_TRUE(pc->Send(kAck));
    const Record r2 = ParseRecord(pc->Receive(1036));
    ASSERT_TRUE(pc->Send(kAck));
    EXPECT_EQ(r1.percent, 50);
    EXPECT_EQ(r1.flag, 2);
    EXPECT_EQ(r2.percent, 100);
    EXPECT_EQ(r2.flag, 3);
    EXPECT_EQ(r2.length, 1024);
    EXPECT_EQ(r1.data + r2.data, content);
    // No empty record follows.
    EXPECT_TRUE(pc->QuietFor(100));
}

TEST_F(BoxProtocol, DumpOfAnEmptyFileIsOneEmptyLastRecord) {
    WriteFile("empty.txt", "");
    WriteManifest("G empty.txt 1\n");
    StartBox();
    auto pc = ConnectAndLogin();
    ASSERT_TRUE(pc->Send(Concat({Header(3), NameField("empty.txt")})));
    EXPECT_EQ(pc->Receive(6), kAccepted);
    Bytes expected(1036, 0);
    expected[0] = 100;
    expected[4] = 3;
    EXPECT_EQ(pc->Receive(1036), expected);
    ASSERT_TRUE(pc->Send(kAck));
    EXPECT_TRUE(pc->QuietFor(100));
}

TEST_F(BoxProtocol, DumpAndUploadRefusalsCarryATextAndKeepTheConnectionInStep) {
    WriteFile("here.txt", "x");
    WriteManifest("G here.txt 1\nG gone.txt 1\n");
    StartBox();
    auto pc = Connect();
    constexpr uint8_t kDump = 3;
    constexpr uint8_t kUpload = 4;
    auto refusal = [&](uint8_t command, const Bytes& nameField) {
        EXPECT_TRUE(pc->Send(Concat({Header(command), nameField})));
        return pc->Receive(6 + 128);
    };
    auto refused = [](const char* text) { return Concat({kRefusedReply, Refusal(text)}); };
    EXPECT_EQ(refusal(kDump, NameField("here.txt")), refused(BoxSimSession::kNotLoggedIn));
    EXPECT_EQ(refusal(kUpload, NameField("a.txt")), refused(BoxSimSession::kNotLoggedIn));
    ASSERT_TRUE(pc->Login("7351"));
    const struct {
        uint8_t command;
        Bytes nameField;
        const char* text;
    } cases[] = {
        {kDump, NameField("other.txt"), BoxSimSession::kNotListed},
        {kDump, NameField("gone.txt"), BoxSimSession::kMissingOnBox},
        {kDump, NameField("../here.txt"), BoxSimSession::kBadName},
        {kDump, NameField(""), BoxSimSession::kBadName},
        {kDump, Bytes(32, 'a'), BoxSimSession::kBadName},
        {kUpload, NameField(""), BoxSimSession::kBadName},
        {kUpload, NameField(".."), BoxSimSession::kBadName},
        {kUpload, NameField("../a.txt"), BoxSimSession::kBadName},
        {kUpload, NameField("a/b"), BoxSimSession::kBadName},
        {kUpload, NameField("a\\b"), BoxSimSession::kBadName},
        {kUpload, NameField("c:a"), BoxSimSession::kBadName},
        {kUpload, Bytes(32, 'b'), BoxSimSession::kBadName},
        {kUpload, NameField("manifest.txt"), BoxSimSession::kReservedName},
        {kUpload, NameField("MANIFEST.TXT"), BoxSimSession::kReservedName},
        {kUpload, NameField("nul"), BoxSimSession::kReservedName},
        {kUpload, NameField("Com1.txt"), BoxSimSession::kReservedName},
        {kUpload, NameField("a."), BoxSimSession::kReservedName},
        {kUpload, NameField("~boxsim-x.part"), BoxSimSession::kReservedName},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(refusal(cases[i].command, cases[i].nameField), refused(cases[i].text))
            << "case " << i;
    }
    const BoxSimStats s = box_->Stats();
    EXPECT_EQ(s.dumpsRefused, 6);
    EXPECT_EQ(s.uploadsRefused, 14);
    EXPECT_EQ(ReadFile("manifest.txt"), "G here.txt 1\nG gone.txt 1\n");
    // Still in step: a good download and a good upload go through.
    EXPECT_TRUE(pc->Send(Concat({Header(kDump), NameField("here.txt")})));
    EXPECT_EQ(pc->Receive(6), kAccepted);
    const Record r = ParseRecord(pc->Receive(1036));
    EXPECT_EQ(r.flag, 3);
    EXPECT_EQ(r.data, "x");
    ASSERT_TRUE(pc->Send(kAck));
    ASSERT_TRUE(pc->Send(Concat({Header(kUpload), NameField("ok.txt"), Block(3, "ok", 2)})));
    EXPECT_EQ(pc->Receive(12), Concat({kAccepted, kAccepted}));
}

TEST_F(BoxProtocol, UploadStoresTheBlocksAndAnswersEach) {
    WriteFile("new.bin", "old content");
    StartBox();
    auto pc = ConnectAndLogin();
    box_->ClearReceived();
    const std::string first = RepeatableBytes(1024, 1);
    const std::string second = RepeatableBytes(100, 2);
    ASSERT_TRUE(pc->Send(Concat({Header(4), NameField("new.bin")})));
    EXPECT_EQ(pc->Receive(6), kAccepted);
    ASSERT_TRUE(pc->Send(Block(2, first, 1024)));
    EXPECT_EQ(pc->Receive(6), kAccepted);
    // Until the last block the earlier file stays as it was.
    EXPECT_EQ(ReadFile("new.bin"), "old content");
    EXPECT_TRUE(Exists(std::string(StoredUpload::kTemporaryPrefix) + "new.bin.part"));
    // Bytes after the count carry nothing and are not stored.
    ASSERT_TRUE(pc->Send(Block(3, second + "junk", 100)));
    EXPECT_EQ(pc->Receive(6), kAccepted);
    ASSERT_TRUE(box_->WaitFor([](const BoxSimStats& s) { return s.uploadsStored == 1; }, 3000));
    EXPECT_EQ(ReadFile("new.bin"), first + second);
    EXPECT_FALSE(Exists(std::string(StoredUpload::kTemporaryPrefix) + "new.bin.part"));
    // Without a wait phase nothing follows.
    EXPECT_TRUE(pc->QuietFor(100));
    EXPECT_EQ(box_->Received(), Concat({Header(4), NameField("new.bin"), Block(2, first, 1024),
                                        Block(3, second + "junk", 100)}));
}

TEST_F(BoxProtocol, UploadOfAnEmptyFileIsOneEmptyLastBlock) {
    StartBox();
    auto pc = ConnectAndLogin();
    ASSERT_TRUE(pc->Send(Concat({Header(4), NameField("empty.txt"), Block(3, "", 0)})));
    EXPECT_EQ(pc->Receive(12), Concat({kAccepted, kAccepted}));
    ASSERT_TRUE(box_->WaitFor([](const BoxSimStats& s) { return s.uploadsStored == 1; }, 3000));
    EXPECT_TRUE(Exists("empty.txt"));
    EXPECT_EQ(ReadFile("empty.txt"), "");
}

TEST_F(BoxProtocol, BrokenOffUploadLeavesTheEarlierFile) {
    WriteFile("keep.bin", "earlier");
    StartBox();
    auto pc = ConnectAndLogin();
    ASSERT_TRUE(pc->Send(Concat({Header(4), NameField("keep.bin")})));
    EXPECT_EQ(pc->Receive(6), kAccepted);
    ASSERT_TRUE(pc->Send(Block(2, RepeatableBytes(1024, 5), 1024)));
    EXPECT_EQ(pc->Receive(6), kAccepted);
    pc->Close();
    ASSERT_TRUE(box_->WaitFor([](const BoxSimStats& s) { return s.uploadsBrokenOff == 1; }, 3000));
    ASSERT_TRUE(box_->WaitFor([](const BoxSimStats& s) { return s.connectionsEnded == 1; }, 3000));
    EXPECT_EQ(ReadFile("keep.bin"), "earlier");
    EXPECT_FALSE(Exists(std::string(StoredUpload::kTemporaryPrefix) + "keep.bin.part"));
    EXPECT_EQ(box_->Stats().uploadsStored, 0);
}

TEST_F(BoxProtocol, UploadToANameThatCannotBeStoredIsRefusedBeforeTheFirstBlock) {
    std::filesystem::create_directories(folder_ / "taken.bin" / "inside");
    StartBox();
    auto pc = ConnectAndLogin();
    ASSERT_TRUE(pc->Send(Concat({Header(4), NameField("taken.bin")})));
    EXPECT_EQ(pc->Receive(6 + 128), Concat({kRefusedReply, Refusal(BoxSimSession::kCannotStore)}));
    EXPECT_TRUE(std::filesystem::is_directory(folder_ / "taken.bin" / "inside"));
    EXPECT_FALSE(Exists(std::string(StoredUpload::kTemporaryPrefix) + "taken.bin.part"));
    EXPECT_EQ(box_->Stats().uploadsRefused, 1);
    // Still in step: the next request is read as a request.
    ASSERT_TRUE(pc->Send(Concat({Header(4), NameField("ok.txt"), Block(3, "ok", 2)})));
    EXPECT_EQ(pc->Receive(12), Concat({kAccepted, kAccepted}));
}

TEST_F(BoxProtocol, WaitPhaseSendsTheMessagesThenTheFinalStatus) {
    BoxSimOptions o = DefaultOptions();
    o.waitPhase = true;
    o.waitMessages = {"Checking", "Writing flash", "Done"};
    StartBox(o);
    auto pc = ConnectAndLogin();
    ASSERT_TRUE(pc->Send(Concat({Header(4), NameField("fw.bin")})));
    EXPECT_EQ(pc->Receive(6), Bytes({0, 0, 0, 0, 2, 1}));
    ASSERT_TRUE(pc->Send(Block(3, "abc", 3)));
    EXPECT_EQ(pc->Receive(6), kAccepted);
    // The records come without acknowledgements.
    EXPECT_EQ(pc->Receive(3 * 1036),
              Concat({WaitRecord(33, 2, "Checking"), WaitRecord(66, 2, "Writing flash"),
                      WaitRecord(100, 3, "Done")}));
    EXPECT_TRUE(pc->QuietFor(100));
    EXPECT_EQ(ReadFile("fw.bin"), "abc");
}

TEST_F(BoxProtocol, WaitPhaseWithoutMessagesSaysWhatHappened) {
    BoxSimOptions o = DefaultOptions();
    o.waitPhase = true;
    o.waitFinalStatus = 4;
    StartBox(o);
    auto pc = ConnectAndLogin();
    ASSERT_TRUE(pc->Send(Concat({Header(4), NameField("x.bin"), Block(3, "", 0)})));
    EXPECT_EQ(pc->Receive(12), Concat({{0, 0, 0, 0, 2, 1}, kAccepted}));
    EXPECT_EQ(pc->Receive(2 * 1036), Concat({WaitRecord(50, 2, "Checking x.bin..."),
                                             WaitRecord(100, 4, "x.bin rejected")}));
}

TEST_F(BoxProtocol, LogoutIsNotAnsweredAndEndsTheLogin) {
    WriteFile("a.txt", "a");
    WriteManifest("G a.txt 1\n");
    StartBox();
    auto pc = ConnectAndLogin();
    ASSERT_TRUE(pc->Send(Header(5)));
    ASSERT_TRUE(box_->WaitFor([](const BoxSimStats& s) { return s.logouts == 1; }, 3000));
    EXPECT_TRUE(pc->QuietFor(50));
    ASSERT_TRUE(pc->Send(Concat({Header(3), NameField("a.txt")})));
    EXPECT_EQ(pc->Receive(134), Concat({kRefusedReply, Refusal(BoxSimSession::kNotLoggedIn)}));
    // A logout without a login is taken quietly as well.
    ASSERT_TRUE(pc->Send(Header(5)));
    ASSERT_TRUE(box_->WaitFor([](const BoxSimStats& s) { return s.logouts == 2; }, 3000));
    EXPECT_TRUE(pc->QuietFor(50));
}

TEST_F(BoxProtocol, UnknownCommandOrMalformedHeaderClosesTheConnection) {
    StartBox();
    const std::vector<Bytes> bad = {
        {0, 0, 0, 0},                   // command 0
        {6, 0, 0, 0},                   // command 6
        {0xFF, 0, 0, 0}, {1, 0, 7, 0},  // login with a payload length other than 8
        {2, 1, 0, 0},                   // reserved byte set
        {3, 0, 32, 0},                  // dump announcing its name in the length
    };
    for (const Bytes& request : bad) {
        auto pc = Connect();
        ASSERT_TRUE(pc->Send(request));
        EXPECT_TRUE(pc->ClosedWithoutMoreData(3000)) << int(request[0]);
    }
    ASSERT_TRUE(box_->WaitFor(
        [&](const BoxSimStats& s) { return s.connectionsEnded == int(bad.size()); }, 3000));
    EXPECT_EQ(box_->Stats().protocolErrors, int(bad.size()));
    // The box goes on serving.
    auto pc = Connect();
    EXPECT_TRUE(pc->Login("7351"));
}

TEST_F(BoxProtocol, BadAcknowledgementOrBlockClosesTheConnection) {
    WriteFile("a.bin", RepeatableBytes(3000, 1));
    WriteManifest("G a.bin 0\n");
    StartBox();
    {
        auto pc = ConnectAndLogin();
        ASSERT_TRUE(pc->Send(Concat({Header(3), NameField("a.bin")})));
        EXPECT_EQ(pc->Receive(6 + 1036).size(), 6u + 1036u);
        ASSERT_TRUE(pc->Send(Bytes{0, 0, 0, 0, 0, 0}));
        EXPECT_TRUE(pc->ClosedWithoutMoreData(3000));
    }
    for (const Bytes& block : {Block(3, "x", 1025), Block(3, "x", -1), Block(1, "x", 1)}) {
        auto pc = ConnectAndLogin();
        ASSERT_TRUE(pc->Send(Concat({Header(4), NameField("b.bin")})));
        EXPECT_EQ(pc->Receive(6), kAccepted);
        ASSERT_TRUE(pc->Send(block));
        EXPECT_TRUE(pc->ClosedWithoutMoreData(3000));
    }
    ASSERT_TRUE(box_->WaitFor([](const BoxSimStats& s) { return s.connectionsEnded == 4; }, 3000));
    EXPECT_EQ(box_->Stats().protocolErrors, 4);
    EXPECT_FALSE(Exists("b.bin"));
    EXPECT_FALSE(Exists(std::string(StoredUpload::kTemporaryPrefix) + "b.bin.part"));
}

TEST_F(BoxProtocol, GarbageNeverStopsTheBox) {
    WriteFile("a.txt", "abc");
    WriteManifest("G a.txt 1\n");
    BoxSimOptions o = DefaultOptions();
    o.ioTimeoutMs = 300;
    StartBox(o);
    uint32_t x = 12345;
    for (int round = 0; round < 40; ++round) {
        auto pc = Connect();
        // Now and then a login first, so that the other commands run further.
        if (round % 2 == 0) {
            ASSERT_TRUE(pc->Login("7351"));
        }
        Bytes junk(1 + round * 53 % 2000);
        for (auto& b : junk) {
            x = x * 1103515245u + 12345u;
            b = static_cast<uint8_t>(x >> 16);
        }
        junk[0] = static_cast<uint8_t>(1 + round % 5);
        pc->Send(junk);
        pc->ShutdownSend();
        pc->Receive(100000, 2000);
    }
    ASSERT_TRUE(box_->WaitFor([](const BoxSimStats& s) { return s.connectionsEnded == 40; }, 5000));
    EXPECT_TRUE(box_->Running());
    auto pc = Connect();
    ASSERT_TRUE(pc->Login("7351"));
    ASSERT_TRUE(pc->Send(Concat({Header(3), NameField("a.txt")})));
    EXPECT_EQ(pc->Receive(6), kAccepted);
    EXPECT_EQ(ParseRecord(pc->Receive(1036)).data, "abc");
}

TEST_F(BoxProtocol, ServesOneClientAtATime) {
    StartBox();
    auto first = ConnectAndLogin();
    auto second = Connect();
    ASSERT_TRUE(second->SendLogin("7351"));
    EXPECT_TRUE(second->QuietFor(300));
    first->Close();
    EXPECT_EQ(second->Receive(6), Bytes({0, 0, 0x01, 0x10, 0, 1}));
    EXPECT_EQ(box_->Stats().connectionsAccepted, 2);
}

TEST_F(BoxProtocol, ReceivedHoldsEveryByteInOrderAcrossConnections) {
    StartBox();
    {
        auto pc = Connect();
        ASSERT_TRUE(pc->Send(kLoginRequest));
        EXPECT_EQ(pc->Receive(6).size(), 6u);
        ASSERT_TRUE(pc->Send(Header(5)));
        ASSERT_TRUE(box_->WaitForReceived(16, 3000));
    }
    {
        auto pc = Connect();
        ASSERT_TRUE(pc->Send(Header(2)));
        EXPECT_EQ(pc->Receive(6).size(), 6u);
    }
    EXPECT_EQ(box_->Received(), Concat({kLoginRequest, Header(5), Header(2)}));
    box_->ClearReceived();
    EXPECT_TRUE(box_->Received().empty());
    const std::vector<std::string> events = box_->Events();
    ASSERT_GE(events.size(), 5u);
    EXPECT_EQ(events[0], "connection accepted");
    EXPECT_EQ(events[1], "login: accepted (tool " + wire::VersionText(wire::kToolVersion) +
                             " or newer required)");
    EXPECT_EQ(events[2], "logout");
}
}  // namespace
