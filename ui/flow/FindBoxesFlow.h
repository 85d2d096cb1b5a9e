#pragma once
// What the "Find boxes" dialog decides, without any window: which ranges
// the text typed names (none: the PC's own networks, as DefaultRanges
// chooses them, and never more than a search may try unasked), the line
// that says so, the search's settings (a login only when asked for and a
// password is there), the progress line, and each answer's row in the words
// velqo-cli find uses.
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "backup/BackupStore.h"
#include "discovery/FindResult.h"
#include "discovery/FindSettings.h"
#include "discovery/LocalInterface.h"
#include "discovery/SearchRanges.h"

struct FindRowText {
    std::string address;
    std::string answer;  // FindKindText
    std::string detail;  // FindWording::Detail, or "-"
    std::string backup;  // FindWording::Backup's text
};

class FindBoxesFlow {
public:
    // `port` of the boxes; `password` the main window's, used only when a
    // login is asked for.
    FindBoxesFlow(uint16_t port, std::string password)
        : m_nPort(port), m_password(std::move(password)) {}

    // Reads `text` (ranges apart by spaces or commas; empty: the networks of
    // `interfaces`); false when it names nothing to search. RangesLine then
    // says what is searched or why nothing is.
    bool ChooseRanges(const std::string& text, const std::vector<LocalInterface>& interfaces);
    const std::string& RangesLine() const { return m_rangesLine; }
    const std::vector<uint32_t>& Addresses() const { return m_ranges.Addresses(); }

    // A login is possible only with a password.
    bool CanLogIn() const { return !m_password.empty(); }
    FindSettings Settings(bool login) const;
    // What the line under the list says of the login.
    std::string LoginLine(bool login) const;

    static std::string ProgressLine(size_t done, size_t total, size_t answered, bool stopped);
    // The rows of the addresses that answered, in address order.
    std::vector<FindRowText> Rows(const std::vector<FindResult>& results, const BackupStore& store,
                                  std::time_t now) const;
    // The console's line at the end, as velqo-cli says it.
    std::string SummaryLine(const std::vector<FindResult>& results, bool login) const;

private:
    uint16_t m_nPort;
    std::string m_password;
    SearchRanges m_ranges;
    std::string m_rangesLine;
};
