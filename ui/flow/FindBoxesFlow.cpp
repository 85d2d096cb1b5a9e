#include "ui/flow/FindBoxesFlow.h"

#include <sstream>

#include "discovery/BoxSearch.h"
#include "discovery/DefaultRanges.h"
#include "discovery/FindWording.h"

namespace {

std::vector<std::string> Words(const std::string& text) {
    std::string spaced = text;
    for (char& c : spaced) {
        c = c == ',' || c == ';' || c == '\t' ? ' ' : c;
    }
    std::istringstream in(spaced);
    std::vector<std::string> words;
    for (std::string word; in >> word;) {
        words.push_back(word);
    }
    return words;
}

}  // namespace

bool FindBoxesFlow::ChooseRanges(const std::string& text,
                                 const std::vector<LocalInterface>& interfaces) {
    const std::vector<std::string> words = Words(text);
    std::string why;
    SearchRanges::Problem problem = SearchRanges::Problem::kNone;
    if (words.empty()) {
        const std::vector<AddressRange> own =
            DefaultRanges::Searched(DefaultRanges::Of(interfaces));
        if (own.empty()) {
            m_ranges = {};
            m_rangesLine = "None of the PC's networks is a private one to search: type a range.";
            return false;
        }
        problem = m_ranges.Take(own, false, &why);
    } else {
        problem = m_ranges.Read(words, false, &why);
    }
    if (problem != SearchRanges::Problem::kNone) {
        m_ranges = {};
        m_rangesLine = "Cannot search: " + why + ".";
        return false;
    }
    std::string names;
    for (const AddressRange& r : m_ranges.Ranges()) {
        names += (names.empty() ? "" : ", ") + r.Text();
    }
    m_rangesLine = std::string(words.empty() ? "Your networks: " : "Will search ") + names + " (" +
                   std::to_string(m_ranges.Addresses().size()) + " address(es), port " +
                   std::to_string(m_nPort) + ").";
    return true;
}

FindSettings FindBoxesFlow::Settings(bool login) const {
    FindSettings settings;
    settings.port = m_nPort;
    // Never the factory password: a search sends only what the user typed.
    settings.login = login && CanLogIn();
    settings.password = settings.login ? m_password : "";
    return settings;
}

std::string FindBoxesFlow::LoginLine(bool login) const {
    if (login && CanLogIn()) {
        return "Logs in with the password of the main window, lists and logs out.";
    }
    return "No login: an open port is all a search sees.";
}

std::string FindBoxesFlow::ProgressLine(size_t done, size_t total, size_t answered, bool stopped) {
    return std::string(stopped ? "Stopped: tried " : "Tried ") + std::to_string(done) + " of " +
           std::to_string(total) + " address(es), " + std::to_string(answered) + " answered.";
}

std::vector<FindRowText> FindBoxesFlow::Rows(const std::vector<FindResult>& results,
                                             const BackupStore& store, std::time_t now) const {
    std::vector<FindRowText> rows;
    for (const FindResult& r : results) {
        if (!r.Answered()) {
            continue;
        }
        const std::string detail = FindWording::Detail(r);
        rows.push_back({DottedAddress(r.address), FindKindText(r.kind),
                        detail.empty() ? "-" : detail,
                        FindWording::Backup(r, m_nPort, store, now).text});
    }
    return rows;
}

std::string FindBoxesFlow::SummaryLine(const std::vector<FindResult>& results, bool login) const {
    size_t answered = 0;
    size_t boxes = 0;
    size_t tried = 0;
    for (const FindResult& r : results) {
        answered += r.Answered() ? 1 : 0;
        boxes += r.kind == FindResult::Kind::kBox ? 1 : 0;
        tried += r.detail == BoxSearch::kNotTried ? 0 : 1;
    }
    const std::string asBoxes = login ? ", " + std::to_string(boxes) + " as a box" : "";
    return "PC > Find boxes: " + std::to_string(answered) + " of " + std::to_string(tried) +
           " address(es) answered on port " + std::to_string(m_nPort) + asBoxes + ".\n";
}
