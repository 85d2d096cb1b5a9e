#include "history/BoxSide.h"

#include "base/TextEscape.h"
#include "box/BoxSession.h"
#include "box/PlainFileName.h"
#include "history/MemorySink.h"

BoxSide::BoxSide(BoxSession& session, const std::vector<wire::ListRecord>& listed)
    : session_(session) {
    for (const wire::ListRecord& r : listed) {
        bool seen = r.nameFillsField || !IsPlainFileName(r.name);
        for (const ManifestEntry& e : files_) {
            seen = seen || e.name == r.name;
        }
        if (!seen) {
            files_.push_back({r.group, r.name, r.type});
        }
    }
}

bool BoxSide::Read(const std::string& name, std::string* bytes, std::string* why) {
    if (session_.LinkLost()) {
        *why = "not tried, the link to the box was lost";
        return false;
    }
    MemorySink sink(kMaxFileBytes);
    session_.DumpTo(name.c_str(), sink);
    if (session_.LastOutcome() == TransferOutcome::kDone && !sink.WriteFailed()) {
        *bytes = std::move(sink.Bytes());
        return true;
    }
    if (sink.WriteFailed()) {
        *why = "the box sent more than " + std::to_string(kMaxFileBytes) + " bytes";
    } else if (session_.LastOutcome() == TransferOutcome::kRefused) {
        *why = "the box refused it: \"" + QuoteForMessage(session_.LastRefusal()) + "\"";
    } else {
        *why = "the link to the box failed";
    }
    return false;
}
