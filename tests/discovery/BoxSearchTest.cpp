// The search over a made-up LAN on loopback: what each kind of listener is
// reported as, with and without a login, and what reaches the boxes.
#include "discovery/BoxSearch.h"

#include <gtest/gtest.h>

#include "box/BoxDefaults.h"
#include "discovery/SearchRanges.h"
#include "tests/support/LanRig.h"
#include "tests/support/TempDir.h"

namespace {

using Kind = FindResult::Kind;

constexpr int kTimeoutMs = 300;
constexpr int kStatsWaitMs = 5000;
constexpr uint16_t kNewerTool = 0x7001;

class BoxSearchTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        BoxSimOptions recorded;
        recorded.recordReceived = true;
        BoxSimOptions otherPassword = recorded;
        otherPassword.password = "1234";
        BoxSimOptions newer;
        newer.requiredVersion = kNewerTool;
        ASSERT_TRUE(rig_.AddBox("127.0.77.2", recorded, &error)) << error;
        ASSERT_TRUE(rig_.AddBox("127.0.77.3", otherPassword, &error)) << error;
        ASSERT_TRUE(rig_.AddBox("127.0.77.4", newer, &error)) << error;
        ASSERT_TRUE(rig_.AddBusyBox("127.0.77.5", &error)) << error;
        ASSERT_TRUE(rig_.AddListener("127.0.77.6", TestListener::Kind::kSilent, &error)) << error;
        ASSERT_TRUE(rig_.AddListener("127.0.77.7", TestListener::Kind::kNotABox, &error)) << error;
    }

    std::vector<FindResult> Search(bool login, size_t* progressCalls = nullptr) {
        SearchRanges ranges;
        std::string why;
        EXPECT_EQ(ranges.Read({"127.0.77.1-9"}, false, &why), SearchRanges::Problem::kNone);
        FindSettings settings;
        settings.port = rig_.Port();
        settings.timeoutMs = kTimeoutMs;
        settings.parallel = 4;
        settings.login = login;
        settings.password = login ? box_defaults::kPassword : "";
        BoxSearch search(settings);
        size_t lastDone = 0;
        search.SetProgress([&](size_t done, size_t total, size_t) {
            EXPECT_EQ(done, lastDone + 1);
            EXPECT_EQ(total, 9u);
            lastDone = done;
        });
        std::vector<FindResult> results = search.Run(ranges.Addresses());
        if (progressCalls != nullptr) {
            *progressCalls = lastDone;
        }
        return results;
    }

    TempDir dir_;
    LanRig rig_{dir_.Path() / "box"};
};

TEST_F(BoxSearchTest, LoginTellsBoxesFromLookAlikesAndBusyOnesOnceEach) {
    size_t calls = 0;
    const std::vector<FindResult> results = Search(true, &calls);
    EXPECT_EQ(calls, 9u);
    const Kind expected[] = {Kind::kNothing,        Kind::kBox,     Kind::kWrongPassword,
                             Kind::kNeedsNewerTool, Kind::kBusy,    Kind::kBusy,
                             Kind::kNotABox,        Kind::kNothing, Kind::kNothing};
    ASSERT_EQ(results.size(), std::size(expected));
    for (size_t i = 0; i < results.size(); ++i) {
        EXPECT_EQ(DottedAddress(results[i].address), "127.0.77." + std::to_string(i + 1));
        EXPECT_EQ(results[i].kind, expected[i])
            << DottedAddress(results[i].address) << ": " << FindKindWord(results[i].kind) << " "
            << results[i].detail;
    }
    EXPECT_GT(results[1].fileCount, 0);
    EXPECT_EQ(results[1].requiredVersion, box_defaults::kRequiredToolVersion);
    EXPECT_EQ(results[3].requiredVersion, kNewerTool);
    EXPECT_NE(results[0].detail.find("refused"), std::string::npos) << results[0].detail;
    // One login per box, no request after a refusal: the refusing box was asked once and never for its list; the box that
    // let the search in was listed and logged out of.
    EXPECT_TRUE(rig_.Box(1).WaitFor(
        [](const BoxSimStats& s) { return s.loginsRefused == 1 && s.connectionsEnded == 1; },
        kStatsWaitMs));
    EXPECT_EQ(rig_.Box(1).Stats().lists, 0);
    EXPECT_EQ(rig_.Box(1).Stats().loginsAccepted, 0);
    EXPECT_TRUE(rig_.Box(0).WaitFor(
        [](const BoxSimStats& s) { return s.logouts == 1 && s.connectionsEnded == 1; },
        kStatsWaitMs));
    EXPECT_EQ(rig_.Box(0).Stats().loginsAccepted, 1);
    EXPECT_EQ(rig_.Box(0).Stats().lists, 1);
}

TEST_F(BoxSearchTest, WithoutLoginNothingIsSent) {
    const std::vector<FindResult> results = Search(false);
    for (size_t i = 0; i < results.size(); ++i) {
        const bool listens = i >= 1 && i <= 6;
        EXPECT_EQ(results[i].kind, listens ? Kind::kOpen : Kind::kNothing)
            << DottedAddress(results[i].address);
    }
    EXPECT_TRUE(rig_.Box(0).WaitFor([](const BoxSimStats& s) { return s.connectionsEnded == 1; },
                                    kStatsWaitMs));
    EXPECT_TRUE(rig_.Box(0).Received().empty());
    EXPECT_EQ(rig_.Box(0).Stats().loginsAccepted + rig_.Box(0).Stats().loginsRefused, 0);
}

// Stop, told before the search or from its progress (as a window's Cancel
// comes while it runs): no address is asked after it, those under way end,
// and each address not asked says so.
TEST_F(BoxSearchTest, StopEndsTheSearchBeforeTheNextAddress) {
    struct Case {
        const char* what;
        int parallel;
        size_t stopAfter;  // addresses done; 0: stopped before Run
        size_t mostAsked;  // of the 9
    } cases[] = {
        {"before the search", 1, 0, 0},
        {"one at a time, after two", 1, 2, 2},
        {"four at once, after one", 4, 1, 4},
    };
    SearchRanges ranges;
    std::string why;
    ASSERT_EQ(ranges.Read({"127.0.77.1-9"}, false, &why), SearchRanges::Problem::kNone);
    for (const Case& c : cases) {
        FindSettings settings;
        settings.port = rig_.Port();
        settings.timeoutMs = kTimeoutMs;
        settings.parallel = c.parallel;
        BoxSearch search(settings);
        size_t calls = 0;
        search.SetProgress([&](size_t done, size_t, size_t) {
            calls = done;
            if (done == c.stopAfter) {
                search.Stop();
            }
        });
        if (c.stopAfter == 0) {
            search.Stop();
        }
        const std::vector<FindResult> results = search.Run(ranges.Addresses());
        ASSERT_EQ(results.size(), 9u) << c.what;
        EXPECT_TRUE(search.Stopped()) << c.what;
        size_t asked = 0;
        for (size_t i = 0; i < results.size(); ++i) {
            EXPECT_EQ(DottedAddress(results[i].address), "127.0.77." + std::to_string(i + 1));
            const bool notTried = results[i].detail == BoxSearch::kNotTried;
            EXPECT_TRUE(!notTried || results[i].kind == Kind::kNothing) << c.what;
            asked += notTried ? 0 : 1;
        }
        EXPECT_EQ(asked, calls) << c.what;
        EXPECT_GE(asked, c.stopAfter) << c.what;
        EXPECT_LE(asked, c.mostAsked) << c.what;
        if (c.parallel == 1) {
            EXPECT_EQ(asked, c.stopAfter) << c.what;
        }
    }
}

}  // namespace
