// A served folder as an attacker would make it (links, folders, FIFOs and
// devices under listed names, links planted where uploads are written) and a
// client that holds the box without a word, over real loopback TCP.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "BoxSimFixture.h"
#include "WireBytes.h"
#include "boxsim/BoxSimSession.h"
#include "tests/support/ProgramRunner.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

class BoxHostileFolder : public BoxSimFixture {
protected:
    // A file beside the served folder, which no client may ever read or change.
    fs::path Outside() const {
        return folder_.parent_path() / (folder_.filename().string() + "-secret");
    }

    // Downloads a name: the refusal text when refused, else the file.
    struct Dumped {
        bool refused = false;
        std::string text;
    };
    Dumped Dump(TestClient& pc, const std::string& name) {
        Dumped result;
        EXPECT_TRUE(pc.Send(Concat({Header(3), NameField(name)})));
        const Bytes reply = pc.Receive(6);
        if (reply == kRefusedReply) {
            const Bytes text = pc.Receive(128);
            result.refused = true;
            result.text.assign(text.begin(), std::find(text.begin(), text.end(), 0));
            return result;
        }
        EXPECT_EQ(reply, kAccepted);
        for (int records = 0; reply == kAccepted && records < 100; ++records) {
            const Record r = ParseRecord(pc.Receive(1036));
            result.text += r.data;
            EXPECT_TRUE(pc.Send(kAck));
            if (r.flag == 3) {
                break;
            }
        }
        return result;
    }

    // Uploads a short file under the name; true when the box stored it.
    bool Upload(TestClient& pc, const std::string& name, const std::string& content) {
        const int stored = box_->Stats().uploadsStored;
        EXPECT_TRUE(pc.Send(Concat({Header(4), NameField(name)})));
        if (pc.Receive(6) != kAccepted) {
            return false;
        }
        EXPECT_TRUE(pc.Send(Block(3, content, static_cast<int32_t>(content.size()))));
        EXPECT_EQ(pc.Receive(6), kAccepted);
        return box_->WaitFor([&](const BoxSimStats& s) { return s.uploadsStored > stored; }, 3000);
    }
};

bool MakeLink(const fs::path& target, const fs::path& link) {
    std::error_code ec;
    fs::create_symlink(target, link, ec);
    return !ec;
}

}  // namespace

// Only the folder's own regular files are served; everything else under a
// listed name is refused as a missing file is, and nothing is read from it.
TEST_F(BoxHostileFolder, ServesOnlyItsOwnRegularFiles) {
    WriteFile("real.txt", "the box's own file");
    std::ofstream(Outside(), std::ios::binary) << "root:x:0:0:secret";
    struct Entry {
        const char* name;
        std::function<bool(const fs::path&)> make;  // false: cannot be made here
        const char* served;                         // null: refused as missing
    };
    const Entry entries[] = {
        {"outside.txt", [&](const fs::path& p) { return MakeLink(Outside(), p); }, nullptr},
        {"inside.txt", [&](const fs::path& p) { return MakeLink("real.txt", p); }, nullptr},
        {"folder.txt", [&](const fs::path& p) { return fs::create_directory(p); }, nullptr},
#ifndef _WIN32
        {"fifo.txt", [&](const fs::path& p) { return mkfifo(p.c_str(), 0644) == 0; }, nullptr},
        {"zero.bin",
         [&](const fs::path& p) {
             // The zero device itself when we may make one, else a link to it.
             return mknod(p.c_str(), S_IFCHR | 0644, makedev(1, 5)) == 0 ||
                    MakeLink("/dev/zero", p);
         },
         nullptr},
#endif
        // A hard link is a regular file of the folder.
        {"hard.txt",
         [&](const fs::path& p) {
             std::error_code ec;
             fs::create_hard_link(folder_ / "real.txt", p, ec);
             return !ec;
         },
         "the box's own file"},
        {"real.txt", [](const fs::path&) { return true; }, "the box's own file"},
    };
    std::string manifest;
    for (const Entry& e : entries) {
        manifest += std::string("G ") + e.name + " 1\n";
    }
    WriteManifest(manifest);
    StartBox();
    auto pc = ConnectAndLogin();
    for (const Entry& e : entries) {
        SCOPED_TRACE(e.name);
        if (e.name != std::string("real.txt") && !e.make(folder_ / e.name)) {
            continue;
        }
        const Dumped got = Dump(*pc, e.name);
        if (e.served == nullptr) {
            EXPECT_TRUE(got.refused);
            EXPECT_EQ(got.text, BoxSimSession::kMissingOnBox);
        } else {
            EXPECT_FALSE(got.refused) << got.text;
            EXPECT_EQ(got.text, e.served);
        }
    }
    EXPECT_TRUE(pc->QuietFor(50));
}

// An upload is written into a new file of the box's own and then put in
// place: a link under the temporary or the final name is replaced, never
// written through.
TEST_F(BoxHostileFolder, UploadsNeverWriteThroughALink) {
    std::ofstream(Outside(), std::ios::binary) << "untouched";
    const std::string temporary = "~boxsim-up.txt.part";
    struct Planted {
        const char* what;
        std::function<bool()> plant;
    };
    const Planted rows[] = {
        {"a link as the temporary file", [&] { return MakeLink(Outside(), folder_ / temporary); }},
        {"a link as the target", [&] { return MakeLink(Outside(), folder_ / "up.txt"); }},
#ifndef _WIN32
        {"a FIFO as the temporary file",
         [&] { return mkfifo((folder_ / temporary).c_str(), 0644) == 0; }},
#endif
    };
    StartBox();
    auto pc = ConnectAndLogin();
    for (const Planted& row : rows) {
        SCOPED_TRACE(row.what);
        std::error_code ec;
        fs::remove(folder_ / temporary, ec);
        fs::remove(folder_ / "up.txt", ec);
        if (!row.plant()) {
            continue;
        }
        EXPECT_TRUE(Upload(*pc, "up.txt", "uploaded"));
        EXPECT_EQ(ReadFile("up.txt"), "uploaded");
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(folder_ / "up.txt")));
        EXPECT_FALSE(fs::exists(fs::symlink_status(folder_ / temporary)));
        std::ifstream outside(Outside(), std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(outside), {}), "untouched");
    }
}

// A client that sends nothing holds the box only up to the idle limit; then
// the next one is served.
TEST_F(BoxHostileFolder, ASilentClientIsDroppedAtTheIdleLimit) {
    constexpr int kIdleLimitMs = 800;
    BoxSimOptions o = DefaultOptions();
    o.idleTimeoutMs = kIdleLimitMs;
    StartBox(o);
    auto silent = Connect();
    ASSERT_TRUE(
        box_->WaitFor([](const BoxSimStats& s) { return s.connectionsAccepted == 1; }, 3000));
    auto next = Connect();
    EXPECT_TRUE(next->Login("7351"));
    EXPECT_TRUE(silent->ClosedWithoutMoreData(1000));
    EXPECT_EQ(box_->Stats().idleDrops, 1);
    const std::vector<std::string> events = box_->Events();
    EXPECT_NE(std::find(events.begin(), events.end(),
                        "dropping the client: no request for 800 ms (idle limit)"),
              events.end());
    // The limit starts again at every request: pauses shorter than it, longer
    // together, keep the client.
    for (int pause = 0; pause < 2; ++pause) {
        std::this_thread::sleep_for(std::chrono::milliseconds(kIdleLimitMs * 5 / 8));
        ASSERT_TRUE(next->Send(Header(2)));
        EXPECT_EQ(next->Receive(6 + 1460).size(), 6u + 1460u);
    }
    EXPECT_EQ(box_->Stats().idleDrops, 1);
}

TEST_F(BoxHostileFolder, WithoutAnIdleLimitASilentClientStays) {
    BoxSimOptions o = DefaultOptions();
    o.idleTimeoutMs = 0;
    StartBox(o);
    auto silent = Connect();
    EXPECT_TRUE(silent->QuietFor(500));
    EXPECT_EQ(box_->Stats().idleDrops, 0);
    ASSERT_TRUE(silent->Login("7351"));
}

// The program says when it drops a client, also without --verbose.
TEST_F(BoxHostileFolder, TheProgramSaysWhenItDropsAClient) {
    uint16_t port = 0;
    {
        int error = 0;
        const SocketHandle probe(net::Listen("127.0.0.1", 0, 1, &error));
        port = net::LocalPort(probe.Get());
    }
    ProgramResult result;
    std::thread program([&] {
        result = RunProgram(SiblingProgram("velqo-boxsim"),
                            {"--folder", folder_.string(), "--port", std::to_string(port), "--once",
                             "--idle-timeout", "1"});
    });
    TestClient silent;
    bool connected = false;
    for (int attempt = 0; attempt < 100 && !connected; ++attempt) {
        connected = silent.Connect(port);
        if (!connected) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }
    EXPECT_TRUE(connected);
    EXPECT_TRUE(silent.ClosedWithoutMoreData(5000));
    program.join();
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.err.find("velqo-boxsim: dropping the client: no request for 1 s (idle limit)"),
              std::string::npos)
        << result.err;
}
