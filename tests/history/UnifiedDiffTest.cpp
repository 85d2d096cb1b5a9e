// Every unified diff checked against its own inputs: applied to the old
// text it gives the new one, over examples and over generated pairs.
#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

#include "history/UnifiedDiff.h"
#include "tests/support/UnifiedPatch.h"

namespace {

constexpr unsigned kSeed = 32;
constexpr int kPairs = 3000;
constexpr int kMaxLines = 40;

// Lines a box's text file has, repeated often, some ending in CR LF, and
// a last line that may lack its end.
const char* const kLines[] = {"a\n", "b\n", "c\n", "a\r\n", "\n", "d=1\n", "\\ x\n", "+b\n"};

std::string RandomText(std::mt19937& random) {
    std::uniform_int_distribution<int> count(0, kMaxLines);
    std::uniform_int_distribution<size_t> pick(0, std::size(kLines) - 1);
    std::string text;
    for (int n = count(random); n > 0; --n) {
        text += kLines[pick(random)];
    }
    if (!text.empty() && random() % 4 == 0) {
        text.pop_back();
    }
    return text;
}

// The text with a few runs of lines removed, added or replaced.
std::string Edited(std::mt19937& random, const std::string& text) {
    std::vector<std::string> lines;
    for (size_t at = 0; at < text.size();) {
        const size_t end = text.find('\n', at);
        const size_t next = end == std::string::npos ? text.size() : end + 1;
        lines.push_back(text.substr(at, next - at));
        at = next;
    }
    std::uniform_int_distribution<int> edits(1, 4);
    std::uniform_int_distribution<size_t> pick(0, std::size(kLines) - 1);
    for (int e = edits(random); e > 0; --e) {
        const size_t place = lines.empty() ? 0 : random() % (lines.size() + 1);
        switch (random() % 3) {
            case 0:
                if (place < lines.size()) {
                    lines.erase(lines.begin() + static_cast<long>(place));
                }
                break;
            case 1:
                lines.insert(lines.begin() + static_cast<long>(place), kLines[pick(random)]);
                break;
            default:
                if (place < lines.size()) {
                    lines[place] = kLines[pick(random)];
                }
                break;
        }
    }
    std::string out;
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string line = lines[i];
        // Only the last line may lack its end.
        if (i + 1 < lines.size() && !line.ends_with('\n')) {
            line += '\n';
        }
        out += line;
    }
    return out;
}

void ExpectApplies(const std::string& before, const std::string& after) {
    const std::optional<std::string> diff = UnifiedDiff::Make(before, after, "old", "new");
    ASSERT_TRUE(diff.has_value());
    EXPECT_EQ(diff->empty(), before == after);
    std::string why;
    const std::optional<std::string> patched = ApplyUnifiedDiff(before, *diff, &why);
    ASSERT_TRUE(patched.has_value()) << why << "\n" << *diff;
    EXPECT_EQ(*patched, after) << *diff;
}

}  // namespace

TEST(UnifiedDiffTest, EachDiffAppliedToTheOldTextGivesTheNewOne) {
    const std::string twelve = "1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n11\n12\n";
    const struct {
        std::string before;
        std::string after;
    } examples[] = {
        {"", "a\n"},
        {"a\n", ""},
        {"a\nb", "a\nb\n"},
        {"a", "a\nb"},
        {"a\r\nb\r\n", "a\r\nb\n"},
        {"a\nb\nc\nd\n", "d\na\nb\nc\n"},
        {twelve, "1\n2\nthree\n4\n5\n6\n7\n8\n9\n10\n11\neleven and a half\n12\n"},
        {twelve, "0\n" + twelve + "13"},
    };
    for (const auto& e : examples) {
        ExpectApplies(e.before, e.after);
    }
    // The check can fail: a diff does not apply to a text it was not made from.
    std::string why;
    EXPECT_FALSE(
        ApplyUnifiedDiff("x\nb\n", *UnifiedDiff::Make("a\nb\n", "a\nc\n", "o", "n"), &why));
    std::mt19937 random(kSeed);
    for (int i = 0; i < kPairs; ++i) {
        const std::string before = RandomText(random);
        const std::string after = i % 2 == 0 ? Edited(random, before) : RandomText(random);
        ExpectApplies(before, after);
        if (HasFatalFailure()) {
            return;
        }
    }
}
