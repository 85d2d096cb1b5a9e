// Feeds two arbitrary texts to the line diff: the input's first two bytes
// say how many of the rest are the old text, the others are the new one.
// Besides what the sanitizers catch, it checks that the diff of equal texts
// is empty and of different ones is not, and that each diff applied to the
// old text gives the new one exactly.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "history/UnifiedDiff.h"
#include "tests/support/UnifiedPatch.h"

namespace {

constexpr size_t kLengthBytes = 2;

void Expect(bool condition, const char* what, const std::string& detail = "") {
    if (!condition) {
        std::fprintf(stderr, "velqo_fuzz_diff: %s %s\n", what, detail.c_str());
        std::fflush(stderr);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < kLengthBytes) {
        return 0;
    }
    const std::string_view rest(reinterpret_cast<const char*>(data) + kLengthBytes,
                                size - kLengthBytes);
    const size_t oldSize = (data[0] | static_cast<size_t>(data[1]) << 8) % (rest.size() + 1);
    const std::string_view oldText = rest.substr(0, oldSize);
    const std::string_view newText = rest.substr(oldSize);
    const std::optional<std::string> diff = UnifiedDiff::Make(oldText, newText, "old", "new");
    if (!diff) {
        // Too different to diff line by line: never texts that are equal.
        Expect(oldText != newText, "equal texts are too different");
        return 0;
    }
    Expect(diff->empty() == (oldText == newText), "a diff that is empty when it should not be");
    std::string why;
    const std::optional<std::string> patched = ApplyUnifiedDiff(oldText, *diff, &why);
    Expect(patched.has_value(), "a diff that does not apply:", why);
    Expect(*patched == newText, "a diff that applied gives another text");
    return 0;
}
