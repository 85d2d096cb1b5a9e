#include "base/NearestWord.h"

#include <algorithm>

namespace {

// Optimal string alignment distance: a swap of two neighbours is one step.
size_t EditDistance(const std::string& a, const std::string& b) {
    std::vector<std::vector<size_t>> d(a.size() + 1, std::vector<size_t>(b.size() + 1));
    for (size_t i = 0; i <= a.size(); ++i) {
        d[i][0] = i;
    }
    for (size_t j = 0; j <= b.size(); ++j) {
        d[0][j] = j;
    }
    for (size_t i = 1; i <= a.size(); ++i) {
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t cost = a[i - 1] == b[j - 1] ? 0 : 1;
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + cost});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
            }
        }
    }
    return d[a.size()][b.size()];
}

}  // namespace

std::string NearestWord(const std::string& typed, const std::vector<std::string>& known) {
    // One slip in a short word, two in a longer one; more is another word.
    constexpr size_t kLongWord = 5;
    const size_t allowed = typed.size() >= kLongWord ? 2 : 1;
    std::string nearest;
    size_t best = allowed + 1;
    for (const std::string& word : known) {
        const size_t d = EditDistance(typed, word);
        if (d < best) {
            best = d;
            nearest = word;
        }
    }
    return nearest;
}
