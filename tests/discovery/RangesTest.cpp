// The ranges a search reads and which of them it searches only on purpose.
#include <gtest/gtest.h>

#include "discovery/AddressRange.h"
#include "discovery/SearchRanges.h"

namespace {

struct RangeCase {
    const char* text;
    const char* first;  // null: refused
    const char* last;
    const char* says;  // refused: part of the message
};

const RangeCase kRanges[] = {
    {"127.0.0.5", "127.0.0.5", "127.0.0.5", nullptr},
    {"127.0.0.0/24", "127.0.0.1", "127.0.0.254", nullptr},
    {"127.0.0.77/24", "127.0.0.1", "127.0.0.254", nullptr},
    {"127.0.0.8/30", "127.0.0.9", "127.0.0.10", nullptr},
    {"127.0.0.8/31", "127.0.0.8", "127.0.0.9", nullptr},
    {"127.0.0.8/32", "127.0.0.8", "127.0.0.8", nullptr},
    {"127.0.77.1-40", "127.0.77.1", "127.0.77.40", nullptr},
    {"127.0.77.9-9", "127.0.77.9", "127.0.77.9", nullptr},
    {"127.0.0.010", nullptr, nullptr, "is not a range"},
    {"127.1/24", nullptr, nullptr, "is not a range"},
    {"127.0.0.0/33", nullptr, nullptr, "prefix length"},
    {"127.0.0.0/024", nullptr, nullptr, "prefix length"},
    {"127.0.0.0/", nullptr, nullptr, "prefix length"},
    {"127.0.77.40-1", nullptr, nullptr, "last part from 40 to 255"},
    {"127.0.77.1-256", nullptr, nullptr, "last part"},
    {"127.0.77.1-040", nullptr, nullptr, "last part"},
    {"127.0.77.1-127.0.77.9", nullptr, nullptr, "last part"},
    {"127.0.0.0/24-9", nullptr, nullptr, "is not a range"},
    {"box.lan", nullptr, nullptr, "is not a range"},
    {"", nullptr, nullptr, "is not a range"},
};

TEST(AddressRangeTest, ReadsEachFormAndRefusesTheRest) {
    for (const RangeCase& c : kRanges) {
        AddressRange range;
        std::string problem;
        const bool read = AddressRange::Parse(c.text, &range, &problem);
        ASSERT_EQ(read, c.first != nullptr) << c.text << ": " << problem;
        if (read) {
            EXPECT_EQ(DottedAddress(range.First()), c.first) << c.text;
            EXPECT_EQ(DottedAddress(range.Last()), c.last) << c.text;
        } else {
            EXPECT_NE(problem.find(c.says), std::string::npos) << c.text << ": " << problem;
            EXPECT_NE(problem.find(std::string("'") + c.text + "'"), std::string::npos) << problem;
        }
    }
}

struct SearchCase {
    std::vector<std::string> ranges;
    bool onPurpose;
    SearchRanges::Problem problem;
    size_t addresses;  // without a problem
    const char* says;  // with one
};

const SearchCase kSearches[] = {
    {{"127.0.0.0/24", "127.0.0.9", "127.0.0.250-255"},
     false,
     SearchRanges::Problem::kNone,
     255,
     nullptr},
    {{"10.0.0.0/20"}, false, SearchRanges::Problem::kNone, 4094, nullptr},
    {{"10.0.0.0/19"}, false, SearchRanges::Problem::kNeedsPurpose, 0, "8190 addresses"},
    {{"10.0.0.0/19"}, true, SearchRanges::Problem::kNone, 8190, nullptr},
    {{"10.0.0.0/15"}, true, SearchRanges::Problem::kTooMany, 0, "more than 65536"},
    {{"192.168.1.0/24", "8.8.8.8"},
     false,
     SearchRanges::Problem::kNeedsPurpose,
     0,
     "8.8.8.8 is in none of the LAN's private ranges"},
    {{"172.32.0.1"}, false, SearchRanges::Problem::kNeedsPurpose, 0, "172.32.0.1"},
    {{"172.31.255.1", "169.254.0.1"},
     false,
     SearchRanges::Problem::kNeedsPurpose,
     0,
     "169.254.0.1"},
    {{"8.8.8.8"}, true, SearchRanges::Problem::kNone, 1, nullptr},
    {{"127.0.0.1", "127.0.0.08"}, false, SearchRanges::Problem::kBadText, 0, "'127.0.0.08'"},
};

TEST(SearchRangesTest, AsksForPurposeBeforeManyOrPublicAddresses) {
    for (const SearchCase& c : kSearches) {
        SearchRanges search;
        std::string why;
        EXPECT_EQ(search.Read(c.ranges, c.onPurpose, &why), c.problem) << c.ranges[0] << why;
        if (c.problem == SearchRanges::Problem::kNone) {
            EXPECT_EQ(search.Addresses().size(), c.addresses) << c.ranges[0];
        } else {
            EXPECT_NE(why.find(c.says), std::string::npos) << why;
            EXPECT_TRUE(search.Addresses().empty());
        }
    }
}

TEST(SearchRangesTest, EachAddressOnceInOrder) {
    SearchRanges search;
    std::string why;
    ASSERT_EQ(search.Read({"127.0.0.9-12", "127.0.0.3", "127.0.0.8/30", "127.0.0.3"}, false, &why),
              SearchRanges::Problem::kNone);
    std::vector<std::string> dotted;
    for (const uint32_t a : search.Addresses()) {
        dotted.push_back(DottedAddress(a));
    }
    EXPECT_EQ(dotted, (std::vector<std::string>{"127.0.0.3", "127.0.0.9", "127.0.0.10",
                                                "127.0.0.11", "127.0.0.12"}));
}

}  // namespace
