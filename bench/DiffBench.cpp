#include "bench/DiffBench.h"

#include <chrono>
#include <string_view>

#include "history/FileDiff.h"

namespace {

// Lines like a channel list's: number, name, frequency.
std::string ChannelLine(size_t n, const char* tag) {
    return std::to_string(n) + ";" + tag + " channel " + std::to_string(n * 7919 % 100000) + ";11" +
           std::to_string(n % 1000) + ";H;27500\n";
}

}  // namespace

DiffBench::DiffBench(size_t size) {
    for (size_t n = 0;; ++n) {
        const std::string line = ChannelLine(n, "TV");
        if (text_.size() + line.size() > size) {
            break;
        }
        text_ += line;
    }
}

std::string DiffBench::Changed(Change change) const {
    std::string out;
    out.reserve(text_.size() + text_.size() / 8);
    size_t n = 0;
    size_t start = 0;
    std::string moved;
    const size_t lines = text_.size() / ChannelLine(0, "TV").size();
    while (start < text_.size()) {
        const size_t end = text_.find('\n', start) + 1;
        const std::string_view line(text_.data() + start, end - start);
        switch (change) {
            case Change::kEdited:
                out += n % DiffBench::kEditEvery == DiffBench::kEditEvery / 2 ? ChannelLine(n, "HD")
                                                                              : std::string(line);
                break;
            case Change::kRewritten:
                out += ChannelLine(n, "HD");
                break;
            case Change::kMoved:
                // The first quarter goes to the end.
                (n < lines / 4 ? moved : out) += line;
                break;
        }
        start = end;
        ++n;
    }
    return out + moved;
}

double DiffBench::Run(Change change, size_t* diffBytes) const {
    const std::string after = Changed(change);
    const auto start = std::chrono::steady_clock::now();
    const FileDifference file = FileDiff::Compare("channels.txt", true, std::string_view(text_),
                                                  std::string_view(after), "old", "new");
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    *diffBytes = file.unified.size();
    if (!file.text) {
        return -1;  // not diffed as text: the row would measure nothing
    }
    return took.count();
}

const char* DiffBench::Label(Change change) {
    switch (change) {
        case Change::kEdited:
            return "edited";
        case Change::kRewritten:
            return "rewritten";
        case Change::kMoved:
            return "moved";
    }
    return "";
}
