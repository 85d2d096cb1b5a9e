#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

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
    std::vector<int> Bars() const {
        const std::string text = Text();
        std::vector<int> bars;
        for (size_t at = text.find("\r["); at != std::string::npos; at = text.find("\r[", at + 1)) {
            bars.push_back(std::stoi(text.substr(at + 2 + 40 + 2, 3)));
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
            TerminalLog log(terminal.file, true, [&now] { return now; });
            for (const auto& [ms, percent] : c.reports) {
                now = ms;
                TerminalLog::ProgressSink(percent);
            }
            EXPECT_EQ(terminal.Bars(), c.drawn);
        }
    }
}

TEST(TerminalLog, TheLastStateHeldBackIsDrawnAtTheEnd) {
    Terminal terminal;
    int64_t now = 0;
    {
        TerminalLog log(terminal.file, true, [&now] { return now; });
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
    TerminalLog log(terminal.file, true, [&now] { return now; });
    TerminalLog::ProgressSink(20);
    TerminalLog::LogSink("PC > line\n", 0);
    TerminalLog::ProgressSink(20);
    EXPECT_EQ(terminal.Text(),
              "\r[########................................]  20%"
              "\r\033[KPC > line\n"
              "\r[########................................]  20%");
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

}  // namespace
