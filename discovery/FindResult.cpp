#include "discovery/FindResult.h"

namespace {

struct KindNames {
    FindResult::Kind kind;
    const char* word;
    const char* text;
};

constexpr KindNames kNames[] = {
    {FindResult::Kind::kNothing, "nothing", "nothing there"},
    {FindResult::Kind::kOpen, "open", "port open (not logged in)"},
    {FindResult::Kind::kBox, "box", "box"},
    {FindResult::Kind::kWrongPassword, "wrong-password", "box, refused the password"},
    {FindResult::Kind::kNeedsNewerTool, "needs-newer-tool", "box, needs a newer tool"},
    {FindResult::Kind::kBusy, "busy",
     "took the connection but did not answer (a box busy with another client?)"},
    {FindResult::Kind::kNotABox, "not-a-box", "answers, but not as a box"},
};

const KindNames& NamesOf(FindResult::Kind kind) {
    for (const KindNames& names : kNames) {
        if (names.kind == kind) {
            return names;
        }
    }
    return kNames[0];
}

}  // namespace

const char* FindKindWord(FindResult::Kind kind) {
    return NamesOf(kind).word;
}

const char* FindKindText(FindResult::Kind kind) {
    return NamesOf(kind).text;
}
