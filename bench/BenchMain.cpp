// Speed of the box link on this machine, over loopback against the
// substitute box: transfers through BoxSession beside the bare exchange of
// the same messages, and the latency of connect-login-list and of a
// small-file dump, and velqo-cli's download with and without a terminal for
// its progress bar, the line diff of the largest text file diffed as text,
// velqo-cli diff of text files made to cost a line diff the most, and
// velqo-cli history of a box with a thousand backups. Every figure is
// the median of repeated runs; the pairings of each transfer row take turns
// within one run of this program. A transfer row is judged by CPU time (see
// Stopwatch.h): on a loaded machine, or one whose idle CPUs are slow to wake,
// the time that passes for a 1 MiB transfer swings by ten times from run to
// run, the CPU time it costs does not once both ends share one CPU (OneCpu.h).
//   velqo_bench [--runs N] [--only PART[,PART...]]
//     N: runs per 1 MiB transfer row (default 9); PART: hostile, transfers,
//     cli, diff, history, find (default all), to measure one part while
//     working on it.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "bench/CliBench.h"
#include "bench/DiffBench.h"
#include "bench/FindBench.h"
#include "bench/HistoryBench.h"
#include "bench/HostileDiffBench.h"
#include "bench/OneCpu.h"
#include "bench/SessionRig.h"
#include "history/FileDiff.h"

namespace {

using Pair = SessionRig::Pair;

constexpr uint64_t kMiB = 1024 * 1024;
constexpr double kTransferTarget = 0.9;  // bare loops' CPU time / the session's
constexpr double kConnectLoginListTargetUs = 2000;
constexpr double kSmallDumpTargetUs = 1000;
constexpr int kLatencyRuns = 101;
constexpr uint64_t kCliDownloadSize = 64 * kMiB;
constexpr double kCliTerminalTarget = 1.05;  // time on a terminal / time without one
constexpr double kDiffTargetSeconds = 1.0;
constexpr int kDiffRuns = 5;
constexpr int kHistoryBackups = 1000;
constexpr double kHistoryTargetSeconds = 1.0;
constexpr size_t kHostileDiffTargetBytes = 64 * kMiB;
constexpr int kFindRuns = 5;
constexpr double kFindLanTargetSeconds = 1.0;
// A /24 of silent addresses: the time-out once per round of the limit, and
// a little for the rounds' connects themselves.
constexpr double kFindSilentSlack = 1.1;

// Names start with the size: see SessionRig::BoxFile.
const SessionRig::BoxFile kFiles[] = {
    {"1048576.bin", 1 * kMiB},
    {"16777216.bin", 16 * kMiB},
    {"300.txt", 300},
};
const SessionRig::BoxFile& kSmall = kFiles[2];

constexpr DiffBench::Change kDiffChanges[] = {
    DiffBench::Change::kEdited, DiffBench::Change::kRewritten, DiffBench::Change::kMoved};

constexpr Pair kPairs[] = {Pair::kSessionToBox, Pair::kBareToBareBox, Pair::kSessionToBareBox,
                           Pair::kBareToBox};
constexpr size_t kPairCount = std::size(kPairs);

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 == 1 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

[[noreturn]] void Die(const std::string& why) {
    std::fprintf(stderr, "velqo_bench: %s\n", why.c_str());
    std::exit(1);
}

double Checked(double seconds, const std::string& error) {
    if (seconds < 0) {
        Die(error);
    }
    return seconds;
}

Cost Checked(Cost cost, const std::string& error) {
    Checked(cost.wall, error);
    return cost;
}

struct TransferRow {
    std::string label;
    uint64_t size = 0;
    uint64_t blocks = 0;
    double median[kPairCount] = {};     // seconds passed, in the order of kPairs
    double medianCpu[kPairCount] = {};  // CPU seconds, both ends together
    // Per pairing, the median over the runs of (bare loops' CPU time / its
    // CPU time) within the same run.
    double ratio[kPairCount] = {};
};

double MBps(uint64_t size, double seconds) {
    return static_cast<double>(size) / seconds / 1e6;
}

double UsPerBlock(uint64_t blocks, double seconds) {
    return seconds * 1e6 / static_cast<double>(blocks);
}

// Every run gives each pairing one transfer, starting with a different
// pairing each time, so that a drift of the machine's speed hits all alike.
TransferRow MeasureTransfer(SessionRig& rig, const SessionRig::BoxFile& file, bool download,
                            int runs) {
    TransferRow row;
    row.label =
        std::string(download ? "download " : "upload ") + std::to_string(file.size / kMiB) + " MiB";
    row.size = file.size;
    row.blocks = download ? (file.size + 1023) / 1024 : file.size / 1024 + 1;
    std::vector<double> seconds[kPairCount];
    std::vector<double> cpu[kPairCount];
    std::string error;
    for (int i = 0; i < runs; ++i) {
        for (size_t k = 0; k < kPairCount; ++k) {
            const size_t p = (i + k) % kPairCount;
            const Cost cost = Checked(rig.Transfer(kPairs[p], download, file, &error), error);
            seconds[p].push_back(cost.wall);
            cpu[p].push_back(cost.cpu);
        }
    }
    for (size_t p = 0; p < kPairCount; ++p) {
        row.median[p] = Median(seconds[p]);
        row.medianCpu[p] = Median(cpu[p]);
        std::vector<double> ratios;
        for (int i = 0; i < runs; ++i) {
            ratios.push_back(cpu[1][i] / cpu[p][i]);
        }
        row.ratio[p] = Median(ratios);
    }
    return row;
}

struct CliRow {
    double terminal = 0;  // median seconds
    double plain = 0;
    double ratio = 0;     // median over the runs of terminal time / plain time
    double cpuRatio = 0;  // the same of velqo-cli's CPU time
    size_t terminalBytes = 0;
};

// Turns about between the two, like the transfer rows.
CliRow MeasureCli(CliBench& bench, int runs) {
    std::vector<double> terminal;
    std::vector<double> plain;
    std::vector<double> ratios;
    std::vector<double> cpuRatios;
    CliRow row;
    std::string error;
    for (int i = 0; i < runs; ++i) {
        size_t bytes = 0;
        double t = 0;
        double p = 0;
        double tCpu = 0;
        double pCpu = 0;
        for (int k = 0; k < 2; ++k) {
            if ((i + k) % 2 == 0) {
                t = Checked(bench.Download(true, &bytes, &tCpu, &error), error);
                row.terminalBytes = bytes;
            } else {
                size_t none = 0;
                p = Checked(bench.Download(false, &none, &pCpu, &error), error);
            }
        }
        terminal.push_back(t);
        plain.push_back(p);
        ratios.push_back(t / p);
        cpuRatios.push_back(pCpu > 0 ? tCpu / pCpu : 0);
    }
    row.terminal = Median(terminal);
    row.plain = Median(plain);
    row.ratio = Median(ratios);
    row.cpuRatio = Median(cpuRatios);
    return row;
}

const char* Verdict(bool pass) {
    return pass ? "PASS" : "MISS";
}

double LoadAverage() {
    double load = -1;
    return getloadavg(&load, 1) == 1 ? load : -1;
}

// The parts of the benchmark that run: all, or those that --only names.
struct Parts {
    bool hostile = true;
    bool transfers = true;
    bool cli = true;
    bool diff = true;
    bool history = true;
    bool find = true;

    // "transfers,cli": only those; false for a word that names no part.
    bool Only(const std::string& list) {
        *this = {false, false, false, false, false, false};
        size_t start = 0;
        while (start <= list.size()) {
            const size_t end = std::min(list.find(',', start), list.size());
            const std::string word = list.substr(start, end - start);
            bool* part = word == "hostile"     ? &hostile
                         : word == "transfers" ? &transfers
                         : word == "cli"       ? &cli
                         : word == "diff"      ? &diff
                         : word == "history"   ? &history
                         : word == "find"      ? &find
                                               : nullptr;
            if (part == nullptr) {
                return false;
            }
            *part = true;
            start = end + 1;
        }
        return true;
    }
};

}  // namespace

int main(int argc, char** argv) {
    int runs = 9;
    Parts parts;
    for (int i = 1; i < argc; i += 2) {
        const bool valued = i + 1 < argc;
        if (valued && std::strcmp(argv[i], "--runs") == 0 && std::atoi(argv[i + 1]) > 0) {
            runs = std::atoi(argv[i + 1]);
        } else if (!valued || std::strcmp(argv[i], "--only") != 0 || !parts.Only(argv[i + 1])) {
            std::fprintf(stderr,
                         "usage: velqo_bench [--runs N] [--only PART[,PART...]]\n"
                         "PART: hostile, transfers, cli, diff, history, find\n");
            return 2;
        }
    }
    const int largeRuns = std::max(3, runs / 2 + 1);

    const double loadBefore = LoadAverage();
    std::string error;
    struct HostileRow {
        HostileDiffBench::Text text;
        bool namesOnly;
        double seconds;
        size_t peakBytes;
        size_t fileBytes;
    };
    std::vector<HostileRow> hostileRows;
    size_t benchBytes = 0;
    if (parts.hostile) {
        static HostileDiffBench hostile;
        if (!hostile.Start(&error)) {
            Die(error);
        }
        // A child's peak counts the pages it shares with this program until it
        // starts velqo-cli: these rows run first, while this program is small.
        benchBytes = HostileDiffBench::OwnResidentBytes();
        for (const HostileDiffBench::Text text :
             {HostileDiffBench::Text::kRandomXY, HostileDiffBench::Text::kEmptyAndA,
              HostileDiffBench::Text::kFewFarEdits}) {
            for (const bool namesOnly : {false, true}) {
                std::vector<double> seconds;
                size_t peak = 0;
                size_t fileBytes = 0;
                for (int i = 0; i < kDiffRuns; ++i) {
                    const HostileDiffBench::Result r = hostile.Run(text, namesOnly, &error);
                    seconds.push_back(Checked(r.seconds, error));
                    peak = std::max(peak, r.peakBytes);
                    fileBytes = r.fileBytes;
                }
                hostileRows.push_back({text, namesOnly, Median(seconds), peak, fileBytes});
            }
        }
    }

    int sharedCpu = -1;
    std::vector<double> connect;
    std::vector<double> smallDump;
    std::vector<TransferRow> rows;
    if (parts.transfers) {
        // Before the rig starts its threads, which keep to the same CPU; the
        // programs started after this part run where the system puts them.
        const OneCpu oneCpu;
        sharedCpu = oneCpu.Cpu();
        // Static, so that its folder is removed also when Die() ends the program.
        static SessionRig rig;
        if (!rig.Start(kFiles, std::size(kFiles), &error)) {
            Die(error);
        }
        for (int i = 0; i < kLatencyRuns; ++i) {
            connect.push_back(Checked(rig.ConnectLoginList(&error), error));
            smallDump.push_back(
                Checked(rig.Transfer(Pair::kSessionToBox, true, kSmall, &error), error).wall);
        }
        for (bool download : {true, false}) {
            for (size_t f = 0; f < 2; ++f) {
                rows.push_back(MeasureTransfer(rig, kFiles[f], download,
                                               kFiles[f].size > kMiB ? largeRuns : runs));
            }
        }
    }

    CliRow cliRow;
    if (parts.cli) {
        static CliBench cli;
        if (!cli.Start(kCliDownloadSize, &error)) {
            Die(error);
        }
        cliRow = MeasureCli(cli, largeRuns);
    }

    std::vector<std::pair<double, size_t>> diffRows;  // median seconds, diff size
    if (parts.diff) {
        const DiffBench diffBench(FileDiff::kMaxTextBytes);
        for (DiffBench::Change change : kDiffChanges) {
            std::vector<double> seconds;
            size_t diffBytes = 0;
            for (int i = 0; i < kDiffRuns; ++i) {
                seconds.push_back(
                    Checked(diffBench.Run(change, &diffBytes), "the text was not diffed as text"));
            }
            diffRows.emplace_back(Median(seconds), diffBytes);
        }
    }

    double historyMedian = 0;
    size_t historyLines = 0;
    if (parts.history) {
        static HistoryBench history;
        if (!history.Start(kHistoryBackups, &error)) {
            Die(error);
        }
        std::vector<double> historySeconds;
        for (int i = 0; i < kDiffRuns; ++i) {
            historySeconds.push_back(Checked(history.Run(&historyLines, &error), error));
        }
        historyMedian = Median(historySeconds);
    }

    std::vector<double> lanSeconds;
    std::vector<double> silentSeconds;
    if (parts.find) {
        static FindBench find;
        if (!find.Start(&error)) {
            Die(error);
        }
        for (int k = 0; k < kFindRuns; ++k) {
            lanSeconds.push_back(Checked(find.SearchLan(&error).seconds, error));
            silentSeconds.push_back(Checked(find.SearchSilent(&error).seconds, error));
        }
    }
    const FindSettings findDefaults;
    const int findRounds =
        (FindBench::kHostsOfSlash24 + findDefaults.parallel - 1) / findDefaults.parallel;
    const double silentBound = findDefaults.timeoutMs / 1000.0 * findRounds * kFindSilentSlack;

    const double loadAfter = LoadAverage();
    if (parts.transfers) {
        std::printf("Box link over loopback (127.0.0.1), substitute box in-process; medians.\n");
        std::printf("MB/s = 10^6 bytes/s. A block is one 1036-byte record and its 6-byte\n");
        std::printf(
            "acknowledgement (download) or one 1032-byte block and its 6-byte reply (upload).\n");
        std::printf("session = BoxSession against the substitute box; bare = the same messages\n");
        std::printf("between two bare loops. us/block: time passed; cpu/block: CPU time of both\n");
        std::printf(
            "ends together, the figure to judge a change by. ratio = median over the runs\n");
        std::printf("of bare CPU time / session CPU time, the two measured one after the other.\n");
        std::printf("Each transfer writes a new file; the previous run's is removed outside the\n");
        std::printf("measured time.\n\n");
        std::printf("%-18s %7s %9s %9s %9s %9s %7s  %-9s %s\n", "", "session", "session", "session",
                    "bare", "bare", "", "", "");
        std::printf("%-18s %7s %9s %9s %9s %9s %7s  %-9s %s\n", "operation", "MB/s", "us/block",
                    "cpu/block", "us/block", "cpu/block", "ratio", "target", "result");
        for (const TransferRow& r : rows) {
            const double ratio = r.ratio[0];
            std::printf("%-18s %7.1f %9.2f %9.2f %9.2f %9.2f %7.3f  %-9s %s\n", r.label.c_str(),
                        MBps(r.size, r.median[0]), UsPerBlock(r.blocks, r.median[0]),
                        UsPerBlock(r.blocks, r.medianCpu[0]), UsPerBlock(r.blocks, r.median[1]),
                        UsPerBlock(r.blocks, r.medianCpu[1]), ratio, ">= 0.900",
                        Verdict(ratio >= kTransferTarget));
        }
        const double connectUs = Median(connect) * 1e6;
        const double smallUs = Median(smallDump) * 1e6;
        std::printf("%-20s %9.0f us %47s %-11s %s\n", "connect+login+list", connectUs, "",
                    "<= 2000 us", Verdict(connectUs <= kConnectLoginListTargetUs));
        std::printf("%-20s %9.0f us %47s %-11s %s\n",
                    ("dump " + std::to_string(kSmall.size) + " B file").c_str(), smallUs, "",
                    "<= 1000 us", Verdict(smallUs <= kSmallDumpTargetUs));
    }

    if (parts.cli) {
        std::printf("\nvelqo-cli get of a %d MiB file, a separate program, its stderr on a\n",
                    static_cast<int>(kCliDownloadSize / kMiB));
        std::printf(
            "pseudo-terminal (progress bar drawn) or on /dev/null (none); ratio = median\n");
        std::printf(
            "over the runs of terminal time / time without, measured one after the other;\n");
        std::printf(
            "cpu ratio: the same of velqo-cli's own CPU time, which the machine's load sways\n");
        std::printf("far less (the time passed swings by tens of percent on a busy machine).\n");
        std::printf("%-20s %9s %9s %7s %9s %14s  %-11s %s\n", "operation", "terminal", "none",
                    "ratio", "cpu ratio", "terminal out", "target", "result");
        std::printf("%-20s %7.2f s %7.2f s %7.3f %9.3f %11zu B  %-11s %s\n",
                    ("cli download " + std::to_string(kCliDownloadSize / kMiB) + " MiB").c_str(),
                    cliRow.terminal, cliRow.plain, cliRow.ratio, cliRow.cpuRatio,
                    cliRow.terminalBytes, "<= 1.050", Verdict(cliRow.ratio <= kCliTerminalTarget));
    }

    if (parts.diff) {
        std::printf("\nThe line diff of a %zu-byte text file (the largest diffed as text), a\n",
                    FileDiff::kMaxTextBytes);
        std::printf("channel list: a line in every %zu edited, every line rewritten, the first\n",
                    DiffBench::kEditEvery);
        std::printf("quarter moved to the end; median of %d runs.\n", kDiffRuns);
        std::printf("%-20s %9s %14s  %-11s %s\n", "operation", "time", "diff", "target", "result");
        for (size_t k = 0; k < diffRows.size(); ++k) {
            std::printf("%-20s %7.3f s %12zu B  %-11s %s\n",
                        (std::string("diff, ") + DiffBench::Label(kDiffChanges[k])).c_str(),
                        diffRows[k].first, diffRows[k].second, "<= 1 s",
                        Verdict(diffRows[k].first <= kDiffTargetSeconds));
        }
    }

    if (parts.hostile) {
        std::printf("\nvelqo-cli diff of two backups whose text file is lines of two kinds in\n");
        std::printf("random order (a separate program); median time of %d runs, the largest\n",
                    kDiffRuns);
        std::printf("peak memory (resident set) of any of them, which counts the %.1f MiB this\n",
                    static_cast<double>(benchBytes) / kMiB);
        std::printf("benchmark held when it started them.\n");
        std::printf("%-54s %9s %10s  %-18s %s\n", "operation", "time", "peak", "target", "result");
        for (const HostileRow& r : hostileRows) {
            const std::string label = std::string(r.namesOnly ? "--names-only, " : "diff, ") +
                                      HostileDiffBench::Label(r.text) + ", " +
                                      std::to_string(r.fileBytes) + " B";
            std::printf(
                "%-54s %7.3f s %6.1f MiB  %-18s %s\n", label.c_str(), r.seconds,
                static_cast<double>(r.peakBytes) / kMiB, "<= 1 s, <= 64 MiB",
                Verdict(r.seconds <= kDiffTargetSeconds && r.peakBytes <= kHostileDiffTargetBytes));
        }
    }

    if (parts.history) {
        std::printf("\nvelqo-cli history of a box with %d backups of 28 files in the store, a\n",
                    kHistoryBackups);
        std::printf("separate program; median of %d runs.\n", kDiffRuns);
        std::printf("%-20s %9s %14s  %-11s %s\n", "operation", "time", "lines", "target", "result");
        std::printf("%-20s %7.3f s %14zu  %-11s %s\n", "history", historyMedian, historyLines,
                    "<= 1 s", Verdict(historyMedian <= kHistoryTargetSeconds));
    }

    if (parts.find) {
        std::printf("\nThe search for boxes (velqo_discovery) with its defaults: %d ms time-out,\n",
                    findDefaults.timeoutMs);
        std::printf("%d connections at once; median of %d runs. lan: %s, %zu boxes and %zu\n",
                    findDefaults.parallel, kFindRuns, FindBench::kLanRange, FindBench::kBoxes,
                    FindBench::kSilent);
        std::printf("silent listeners, the rest refusing, with a login; silent: %s, no address\n",
                    FindBench::kSilentRange);
        std::printf(
            "lets a connection through (a full listen queue), bound = time-out x %d rounds\n",
            findRounds);
        std::printf("+10 %%.\n");
        std::printf("%-20s %9s  %-11s %s\n", "operation", "time", "target", "result");
        std::printf("%-20s %7.3f s  %-11s %s\n", "find, lan /24", Median(lanSeconds), "< 1 s",
                    Verdict(Median(lanSeconds) < kFindLanTargetSeconds));
        std::printf("%-20s %7.3f s  <= %.2f s   %s\n", "find, silent /24", Median(silentSeconds),
                    silentBound, Verdict(Median(silentSeconds) <= silentBound));
    }

    if (parts.transfers) {
        std::printf(
            "\nWhere the CPU time goes (ratios as above, each pairing against the bare loops):\n");
        std::printf("%-20s %14s %16s %16s\n", "operation", "session vs", "bare PC vs",
                    "session vs");
        std::printf("%-20s %14s %16s %16s\n", "", "substitute box", "substitute box", "bare box");
        for (const TransferRow& r : rows) {
            std::printf("%-20s %14.3f %16.3f %16.3f\n", r.label.c_str(), r.ratio[0], r.ratio[3],
                        r.ratio[2]);
        }
        if (sharedCpu >= 0) {
            std::printf("\nThe transfer and latency rows ran with both ends on CPU %d.", sharedCpu);
        }
    }
    std::printf("\nRuns: %d per 1 MiB row, %d per 16 MiB and cli row, %d per latency row.\n", runs,
                largeRuns, kLatencyRuns);
    const unsigned cpus = std::thread::hardware_concurrency();
    std::printf("Machine: %u CPUs; load average %.2f before, %.2f after.\n", cpus, loadBefore,
                loadAfter);
    if (std::max(loadBefore, loadAfter) > 0.5 * cpus) {
        std::printf(
            "Note: other work was running. Every block is a round trip between two threads,\n"
            "so a busy CPU delays each one: the time passed is then mostly waiting. The CPU\n"
            "figures hold better, though work sharing the caches still raises them a little.\n");
    }
    return 0;
}
