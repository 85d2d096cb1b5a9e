// What the find boxes dialog says and sends, without a window or a network:
// the ranges a text names (or the PC's own networks), the login, the rows of
// the answers with each box's newest backup, and the progress lines.
#include "ui/flow/FindBoxesFlow.h"

#include <gtest/gtest.h>

#include <ctime>

#include "discovery/AddressRange.h"
#include "discovery/BoxSearch.h"
#include "tests/support/StoreWriter.h"
#include "tests/support/TempDir.h"

namespace {

using Kind = FindResult::Kind;

uint32_t Address(const char* text) {
    uint32_t address = 0;
    EXPECT_TRUE(ReadDottedAddress(text, &address)) << text;
    return address;
}

FindResult Answer(const char* address, Kind kind, std::string detail = "", int files = -1) {
    FindResult r;
    r.address = Address(address);
    r.kind = kind;
    r.detail = std::move(detail);
    r.fileCount = files;
    r.requiredVersion = kind == Kind::kBox ? 0x1002 : 0;
    return r;
}

}  // namespace

TEST(FindBoxesFlow, TheTextTypedOrThePcsNetworksNameTheRanges) {
    struct Case {
        const char* text;
        std::vector<LocalInterface> interfaces;  // read only for an empty text
        bool searches;
        const char* line;
        size_t addresses;
    } cases[] = {
        {"127.0.0.0/29", {}, true, "Will search 127.0.0.0/29 (6 address(es), port 1000).", 6},
        {" 127.0.77.1-9, 127.0.77.20 ",
         {},
         true,
         "Will search 127.0.77.1-9, 127.0.77.20 (10 address(es), port 1000).",
         10},
        {"",
         {{"eth0", Address("192.168.5.7"), 24}},
         true,
         "Your networks: 192.168.5.0/24 (254 address(es), port 1000).",
         254},
        {"",
         {{"lo", Address("127.0.0.1"), 8}},
         false,
         "None of the PC's networks is a private one to search: type a range.",
         0},
        // Which ranges need --wide is SearchRanges' to say (tested there).
        {"127.0.0.300", {}, false, "Cannot search: ", 0},
    };
    for (const Case& c : cases) {
        FindBoxesFlow flow(1000, "");
        EXPECT_EQ(flow.ChooseRanges(c.text, c.interfaces), c.searches) << c.text;
        EXPECT_EQ(flow.RangesLine().rfind(c.line, 0), 0u) << c.text << ": " << flow.RangesLine();
        EXPECT_EQ(flow.Addresses().size(), c.addresses) << c.text;
    }
}

TEST(FindBoxesFlow, ALoginOnlyWhenTickedWithAPassword) {
    struct Case {
        const char* password;
        bool ticked;
        bool login;
        const char* line;
    } cases[] = {
        {"", true, false, "No login: an open port is all a search sees."},
        {"1234", false, false, "No login: an open port is all a search sees."},
        {"1234", true, true, "Logs in with the password of the main window, lists and logs out."},
    };
    for (const Case& c : cases) {
        const FindBoxesFlow flow(1000, c.password);
        const FindSettings settings = flow.Settings(c.ticked);
        EXPECT_EQ(settings.login, c.login) << c.password << c.ticked;
        EXPECT_EQ(settings.password, c.login ? c.password : "") << c.password << c.ticked;
        EXPECT_EQ(settings.port, 1000);
        EXPECT_EQ(flow.LoginLine(c.ticked), c.line) << c.password << c.ticked;
    }
}

TEST(FindBoxesFlow, EachAnswerIsARowWithItsBoxsNewestBackup) {
    TempDir dir;
    const std::filesystem::path store = dir.Path() / "backup";
    WriteStoredBackup(store, StoredName("127.0.0.2", "20261207120000"),
                      {{"Settings", "a.txt", 1, "a"}});
    WriteStoredBackup(store, StoredName("127.0.0.3", "20261208120000"),
                      {{"Settings", "a.txt", 1, "a"}}, true);
    std::tm noon{};
    noon.tm_year = 2026 - 1900;
    noon.tm_mon = 11;
    noon.tm_mday = 9;
    noon.tm_hour = 12;
    noon.tm_isdst = -1;
    const std::time_t now = std::mktime(&noon);

    const FindBoxesFlow flow(1000, "");
    const std::vector<FindRowText> rows =
        flow.Rows({Answer("127.0.0.1", Kind::kNothing, "Connection refused"),
                   Answer("127.0.0.2", Kind::kBox, "", 3), Answer("127.0.0.3", Kind::kOpen),
                   Answer("127.0.0.4", Kind::kBusy, "no answer within 500 ms"),
                   Answer("127.0.0.5", Kind::kNotABox, "HTTP/1.1 400")},
                  BackupStore(store), now);
    const std::vector<std::vector<std::string>> expected = {
        {"127.0.0.2", "box", "3 file(s), requires tool 1.002", "newest backup 2 days old"},
        // Its only backup is incomplete.
        {"127.0.0.3", "port open (not logged in)", "-", "never backed up"},
        {"127.0.0.4", "took the connection but did not answer (a box busy with another client?)",
         "no answer within 500 ms", "never backed up"},
        {"127.0.0.5", "answers, but not as a box", "HTTP/1.1 400", "-"},
    };
    ASSERT_EQ(rows.size(), expected.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ((std::vector<std::string>{rows[i].address, rows[i].answer, rows[i].detail,
                                            rows[i].backup}),
                  expected[i]);
    }
}

TEST(FindBoxesFlow, ProgressAndSummarySayWhatWasTried) {
    EXPECT_EQ(FindBoxesFlow::ProgressLine(3, 8, 1, false), "Tried 3 of 8 address(es), 1 answered.");
    EXPECT_EQ(FindBoxesFlow::ProgressLine(4, 8, 2, true),
              "Stopped: tried 4 of 8 address(es), 2 answered.");
    FindResult notTried = Answer("127.0.0.4", Kind::kNothing, BoxSearch::kNotTried);
    const std::vector<FindResult> results = {Answer("127.0.0.1", Kind::kNothing, "refused"),
                                             Answer("127.0.0.2", Kind::kBox, "", 3),
                                             Answer("127.0.0.3", Kind::kOpen), notTried};
    const FindBoxesFlow flow(5000, "1234");
    EXPECT_EQ(flow.SummaryLine(results, true),
              "PC > Find boxes: 2 of 3 address(es) answered on port 5000, 1 as a box.\n");
    EXPECT_EQ(flow.SummaryLine(results, false),
              "PC > Find boxes: 2 of 3 address(es) answered on port 5000.\n");
}
