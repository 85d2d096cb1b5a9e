#pragma once
// What one address of a search answered, as data for every front.
#include <cstdint>
#include <string>

struct FindResult {
    enum class Kind {
        kNothing,         // refused or timed out: nothing listens there
        kOpen,            // took the connection; not asked further (no login)
        kBox,             // logged in, listed its files and logged out
        kWrongPassword,   // a box's reply: it refused the password
        kNeedsNewerTool,  // a box's reply: it requires a newer tool version
        kBusy,            // took the connection but did not answer the login
        kNotABox,         // answered, but not as a box
    };

    uint32_t address = 0;  // host order
    Kind kind = Kind::kNothing;
    // Why nothing was there ("Connection refused", "no answer within 500 ms"),
    // the box's refusal text, or what came that was no box's reply; empty
    // when there is nothing to say.
    std::string detail;
    int fileCount = -1;            // kBox: the files it listed
    uint16_t requiredVersion = 0;  // kBox, kNeedsNewerTool: the lowest tool version it accepts

    // Something listens on the port.
    bool Answered() const { return kind != Kind::kNothing; }
    // Answered as a box does, or may be a box (open, busy).
    bool MayBeBox() const { return Answered() && kind != Kind::kNotABox; }
};

// The one word per kind for documents and lines: "nothing", "open", "box",
// "wrong-password", "needs-newer-tool", "busy", "not-a-box".
const char* FindKindWord(FindResult::Kind kind);
// For people: "box", "a box, busy with another client (or a program that
// says nothing)"...
const char* FindKindText(FindResult::Kind kind);
