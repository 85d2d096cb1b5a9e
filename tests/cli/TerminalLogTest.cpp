#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "cli/ProgressLine.h"
#include "cli/TerminalLog.h"

namespace {

// What a terminal was sent, with each drawn bar's percentage picked out.
struct Terminal {
    Terminal() : file(std::tmpfile()) {}
    ~Terminal() { std::fclose(file); }
    Terminal(const Terminal&) = delete;
    Terminal& operator=(const Terminal&) = delete;

    std::string Text() const {
        std::fflush(file);
        std::rewind(file);
        std::string text;
        for (int c; (c = std::fgetc(file)) != EOF;) {
            text += static_cast<char>(c);
        }
        return text;
    }
    // The percentage of each progress line drawn.
    std::vector<int> Bars() const {
        const std::string text = Text();
        std::vector<int> bars;
        for (size_t at = text.find('\r'); at != std::string::npos; at = text.find('\r', at + 1)) {
            const size_t end = text.find("\033[K", at);
            const size_t percent = text.find('%', at);
            if (end != at + 1 && percent < end) {
                bars.push_back(std::stoi(text.substr(percent - 3, 3)));
            }
        }
        return bars;
    }
    FILE* file;
};

TEST(TerminalLog, BarIsRedrawnOnlyWhenItChangesAndAtMostTenTimesASecond) {
    struct Case {
        const char* what;
        std::vector<std::pair<int64_t, int>> reports;  // (time in ms, percent)
        std::vector<int> drawn;
    } cases[] = {
        {"the same percentage is drawn once", {{0, 7}, {200, 7}, {400, 7}, {900, 7}}, {7}},
        {"changes within the interval wait for it",
         {{0, 0}, {2, 1}, {50, 2}, {100, 3}, {101, 3}, {150, 4}, {260, 5}},
         {0, 3, 5}},
        {"100 is drawn at once", {{0, 10}, {1, 50}, {2, 100}}, {10, 100}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Terminal terminal;
        int64_t now = 0;
        {
            TerminalLog log(terminal.file, true, true, [&now] { return now; });
            for (const auto& [ms, percent] : c.reports) {
                now = ms;
                TerminalLog::ProgressSink(percent);
            }
            EXPECT_EQ(terminal.Bars(), c.drawn);
        }
    }
}

TEST(TerminalLog, AStatusLineIsPacedButTheLastOneIsDrawn) {
    Terminal terminal;
    int64_t now = 0;
    {
        TerminalLog log(terminal.file, true, true, [&now] { return now; });
        TerminalLog::Status("tried 1 of 3", false);
        now = 50;
        TerminalLog::Status("tried 2 of 3", false);
        now = 60;
        TerminalLog::Status("tried 3 of 3\x1b", true);
    }
    EXPECT_EQ(terminal.Text(), "\rtried 1 of 3\033[K\rtried 3 of 3\\x1b\033[K\n");
}

TEST(TerminalLog, TheLastStateHeldBackIsDrawnAtTheEnd) {
    Terminal terminal;
    int64_t now = 0;
    {
        TerminalLog log(terminal.file, true, true, [&now] { return now; });
        TerminalLog::ProgressSink(10);
        now = 5;
        TerminalLog::ProgressSink(42);  // held back: within the interval
    }
    EXPECT_EQ(terminal.Bars(), (std::vector<int>{10, 42}));
    EXPECT_EQ(terminal.Text().back(), '\n');
}

TEST(TerminalLog, ALogLineWipesTheBarAndTheNextReportDrawsItAgain) {
    Terminal terminal;
    int64_t now = 0;
    TerminalLog log(terminal.file, true, true, [&now] { return now; });
    TerminalLog::ProgressSink(20);
    TerminalLog::LogSink("PC > line\n", 0);
    TerminalLog::ProgressSink(20);
    EXPECT_EQ(terminal.Text(),
              "\r 20%\033[K"
              "\r\033[KPC > line\n"
              "\r 20%\033[K");
}

TEST(TerminalLog, NoBarWithoutATerminal) {
    Terminal terminal;
    {
        TerminalLog log(terminal.file, false);
        for (int p = 0; p <= 100; ++p) {
            TerminalLog::ProgressSink(p);
        }
        TerminalLog::LogSink("text\n", 0);
    }
    EXPECT_EQ(terminal.Text(), "text\n");
}

// A log text keeps the line feeds that start and end it; what is between,
// names and the box's texts among it, reaches the terminal escaped.
TEST(TerminalLog, ControlCharactersInsideALogTextAreEscaped) {
    const struct {
        const char* text;
        const char* shown;
    } rows[] = {
        {"PC > Start to dump file:a\x1b[31m... \n", "PC > Start to dump file:a\\x1b[31m... \n"},
        {"\nPC > read file fail!\n", "\nPC > read file fail!\n"},
        {"\n", "\n"},
        {"Busy\x07", "Busy\\x07"},
        {"\n\nline\none\r\n", "\n\nline\\none\\r\n"},
    };
    for (const auto& row : rows) {
        Terminal terminal;
        TerminalLog log(terminal.file, false);
        TerminalLog::LogSink(row.text, 0);
        EXPECT_EQ(terminal.Text(), row.shown);
    }
}

TEST(ProgressLine, SaysWhereATransferIs) {
    struct Case {
        ProgressLine line;
        const char* text;
    } cases[] = {
        {{.name = "config.txt", .percent = 0}, "config.txt    0%"},
        {{.name = "channels.db",
          .index = 3,
          .count = 7,
          .percent = 45,
          .done = 460800,
          .total = 1024000,
          .elapsedMs = 2000},
         "file 3 of 7  channels.db   45%  450.0 of 1000.0 KiB  225.0 KiB/s  0:03 left"},
        // A download's size is worked out from its percentage; too young for a speed.
        {{.name = "a.bin",
          .percent = 33,
          .done = 1048576,
          .total = 3145728,
          .totalEstimated = true,
          .elapsedMs = 100},
         "a.bin   33%  1.0 of ~3.0 MiB"},
        {{.name = "b.txt", .percent = 56, .done = 512, .total = 900}, "b.txt   56%  512 of 900 B"},
        // Ended: the speed it had, nothing left.
        {{.name = "c.txt", .percent = 100, .done = 2048, .total = 2048, .elapsedMs = 50},
         "c.txt  100%  2.0 of 2.0 KiB  40.0 KiB/s"},
        {{.name = "d.img", .percent = 1, .done = 1000, .total = 4000000000LL, .elapsedMs = 1000},
         "d.img    1%  0.0 of 3814.7 MiB  1000 B/s  1111:06:39 left"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.line.Text(), c.text);
    }
}

}  // namespace
