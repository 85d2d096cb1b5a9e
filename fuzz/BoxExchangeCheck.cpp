#include "fuzz/BoxExchangeCheck.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "box/WireFormat.h"
#include "catalog/Manifest.h"

namespace {

constexpr size_t kNoCut = std::numeric_limits<size_t>::max();

// One direction's bytes, taken message by message.
class Stream {
public:
    explicit Stream(const std::vector<uint8_t>& bytes, size_t at = 0) : bytes_(bytes), at_(at) {}
    template <size_t N>
    bool Take(wire::Bytes<N>* out) {
        if (bytes_.size() - at_ < N) {
            return false;
        }
        std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(at_), N, out->begin());
        at_ += N;
        return true;
    }
    bool AtEnd() const { return at_ == bytes_.size(); }
    size_t Left() const { return bytes_.size() - at_; }
    size_t At() const { return at_; }

private:
    const std::vector<uint8_t>& bytes_;
    size_t at_;
};

// The box ends a connection whose request header is not one of the five.
bool HeaderIsWellFormed(const wire::Bytes<wire::kRequestHeaderSize>& b) {
    const wire::RequestHeader h = wire::DecodeRequestHeader(b);
    if (h.command < wire::kCmdLogin || h.command > wire::kCmdLogout || b[1] != 0) {
        return false;
    }
    return h.payloadLength == (h.command == wire::kCmdLogin ? wire::kLoginPayloadSize : 0);
}

bool IsHeaderOf(const wire::Bytes<wire::kRequestHeaderSize>& b, uint8_t command) {
    return b[0] == command && HeaderIsWellFormed(b);
}

bool IsRightPassword(const wire::Bytes<wire::kLoginPayloadSize>& payload) {
    return std::memcmp(payload.data() + 4, BoxFolder::kPassword, 4) == 0;
}

// Reads upload blocks up to the last one; false when the stream ends first
// or a block is malformed (the box then closes without storing).
bool TakeWholeUpload(Stream* pc, std::string* data) {
    while (true) {
        wire::Bytes<wire::kUploadBlockSize> bytes;
        if (!pc->Take(&bytes)) {
            return false;
        }
        const wire::UploadBlock block = wire::DecodeUploadBlock(bytes);
        if ((block.flag != wire::kFlagMore && block.flag != wire::kFlagLast) || block.count < 0 ||
            block.count > static_cast<int32_t>(wire::kBlockDataSize)) {
            return false;
        }
        data->append(reinterpret_cast<const char*>(block.data.data()),
                     static_cast<size_t>(block.count));
        if (block.flag == wire::kFlagLast) {
            return true;
        }
    }
}

std::string Describe(const BoxFolder::Files& files) {
    std::string text;
    for (const auto& [name, content] : files) {
        text += " " + name + "(" + std::to_string(content.size()) + ")";
    }
    return text;
}

class Walk {
public:
    Walk(const std::vector<uint8_t>& pc, const std::vector<uint8_t>& box, bool reset,
         bool waitPhase, const BoxFolder& folder)
        : pcBytes_(pc),
          pc_(pc),
          box_(box),
          reset_(reset),
          waitPhase_(waitPhase),
          folder_(folder),
          expected_(folder.Initial()) {}

    std::string Run(const BoxFolder::Files& now) {
        while (failure_.empty() && Request()) {
        }
        // What follows the last exchange the box took part in: nothing, or
        // after a cut the start of a message the reset cut off.
        if (failure_.empty() && cutAt_ == kNoCut && !box_.AtEnd()) {
            Fail("the box sent " + std::to_string(box_.Left()) + " byte(s) out of frame");
        }
        if (failure_.empty() && !FolderIsExplained(now)) {
            Fail("the folder holds" + Describe(now) + " instead of" + Describe(expected_));
        }
        return failure_;
    }

private:
    bool Fail(const std::string& why) {
        failure_ = why;
        return false;
    }

    // A box message that must be there. Missing is a failure unless the
    // connection was reset, which may have thrown it away: the walk then
    // stops at the request it belongs to.
    template <size_t N>
    bool FromBox(wire::Bytes<N>* out, const char* what) {
        if (box_.Take(out)) {
            return true;
        }
        if (reset_) {
            cutAt_ = requestAt_;
            loggedInAtCut_ = loggedIn_;
            return false;
        }
        return Fail(std::string("the box did not send the ") + what);
    }

    // False when the connection has ended (or a failure was found).
    bool Request() {
        requestAt_ = pc_.At();
        wire::Bytes<wire::kRequestHeaderSize> head;
        if (!pc_.Take(&head)) {
            return false;
        }
        if (!HeaderIsWellFormed(head)) {
            return false;  // the box closes the connection
        }
        switch (head[0]) {
            case wire::kCmdLogin:
                return Login();
            case wire::kCmdList:
                return List();
            case wire::kCmdDump:
                return Dump();
            case wire::kCmdUpload:
                return Upload();
            default:
                loggedIn_ = false;
                return true;
        }
    }

    bool Refusal() {
        wire::Bytes<wire::kRefusalTextSize> text;
        return FromBox(&text, "refusal text");
    }

    bool Login() {
        wire::Bytes<wire::kLoginPayloadSize> payload;
        wire::Bytes<wire::kReplySize> reply;
        if (!pc_.Take(&payload) || !FromBox(&reply, "login reply")) {
            return false;
        }
        const wire::Reply r = wire::DecodeReply(reply);
        const bool right = IsRightPassword(payload);
        if ((r.status == wire::kStatusAccepted) != right) {
            return Fail(right ? "the right password was refused" : "a wrong password was accepted");
        }
        loggedIn_ = right;
        return right || Refusal();
    }

    bool List() {
        wire::Bytes<wire::kReplySize> reply;
        if (!FromBox(&reply, "list reply")) {
            return false;
        }
        const bool payload = wire::DecodeReply(reply).value == wire::kListReplyValue;
        if (payload != loggedIn_) {
            return Fail(loggedIn_ ? "a list was refused after a login" : "a list without a login");
        }
        wire::Bytes<wire::kListPayloadSize> list;
        if (!payload) {
            return true;
        }
        if (!FromBox(&list, "list payload")) {
            return false;
        }
        return wire::DecodeListPayload(list).count == 5 || Fail("the list lost files");
    }

    bool Dump() {
        wire::Bytes<wire::kNameFieldSize> field;
        wire::Bytes<wire::kReplySize> reply;
        if (!pc_.Take(&field) || !FromBox(&reply, "dump reply")) {
            return false;
        }
        const std::string name = wire::DecodeNameField(field);
        const auto file = expected_.find(name);
        const bool servable = loggedIn_ && folder_.IsListed(name) && file != expected_.end();
        if (wire::DecodeReply(reply).status != wire::kStatusAccepted) {
            return !servable ? Refusal() : Fail("a listed file was refused: " + name);
        }
        if (!servable) {
            return Fail("a download that cannot be served was accepted: " + name);
        }
        std::string served;
        while (true) {
            wire::Bytes<wire::kDataRecordSize> bytes;
            wire::Bytes<wire::kAcknowledgementSize> ack;
            if (!FromBox(&bytes, "download record")) {
                return false;
            }
            const wire::DataRecord record = wire::DecodeDataRecord(bytes);
            if (record.length < 0 || record.length > static_cast<int32_t>(wire::kBlockDataSize) ||
                record.percent < 0 || record.percent > 100) {
                return Fail("a download record out of range");
            }
            served.append(reinterpret_cast<const char*>(record.data.data()),
                          static_cast<size_t>(record.length));
            if (!pc_.Take(&ack) || !wire::IsAcknowledgement(ack)) {
                return false;  // the box sees the end, or closes on a bad acknowledgement
            }
            if (record.flag == wire::kFlagLast) {
                break;
            }
        }
        return served == file->second || Fail("a download served other bytes than " + name);
    }

    bool Upload() {
        wire::Bytes<wire::kNameFieldSize> field;
        wire::Bytes<wire::kReplySize> reply;
        if (!pc_.Take(&field) || !FromBox(&reply, "upload reply")) {
            return false;
        }
        const std::string name = wire::DecodeNameField(field);
        const wire::Reply accepted = wire::DecodeReply(reply);
        if (accepted.status != wire::kStatusAccepted) {
            return Refusal();
        }
        if (!MayStore(name, loggedIn_)) {
            return Fail("an upload that cannot be stored was accepted: " + name);
        }
        std::string data;
        while (true) {
            wire::Bytes<wire::kUploadBlockSize> bytes;
            if (!pc_.Take(&bytes)) {
                return false;  // not whole: nothing may change
            }
            const wire::UploadBlock block = wire::DecodeUploadBlock(bytes);
            if ((block.flag != wire::kFlagMore && block.flag != wire::kFlagLast) ||
                block.count < 0 || block.count > static_cast<int32_t>(wire::kBlockDataSize)) {
                return false;  // the box closes the connection
            }
            data.append(reinterpret_cast<const char*>(block.data.data()),
                        static_cast<size_t>(block.count));
            if (!FromBox(&reply, "block reply")) {
                return false;
            }
            if (block.flag == wire::kFlagLast) {
                break;
            }
        }
        if (waitPhase_ != (accepted.followUp == wire::kFollowUpWaitPhase)) {
            return Fail("the upload reply's follow-up flag is wrong");
        }
        bool stored = true;
        for (int32_t status = wire::kFlagMore; waitPhase_ && status < wire::kFlagLast;) {
            wire::Bytes<wire::kDataRecordSize> bytes;
            if (!FromBox(&bytes, "wait phase record")) {
                return false;
            }
            status = wire::DecodeDataRecord(bytes).flag;
            stored = status < wire::kStatusFailedFrom;
        }
        if (stored) {
            expected_[name] = data;
        }
        return true;
    }

    static bool MayStore(const std::string& name, bool loggedIn) {
        return loggedIn && name != Manifest::kFileName && name != BoxFolder::kFolderName;
    }

    // Every file holds what the walk expects, or, after a cut, what an
    // upload in the rest of the stream may have brought. No upload removes
    // a file.
    bool FolderIsExplained(const BoxFolder::Files& now) const {
        for (const auto& [name, content] : expected_) {
            if (now.count(name) == 0) {
                return false;
            }
        }
        for (const auto& [name, content] : now) {
            const auto it = expected_.find(name);
            if ((it == expected_.end() || it->second != content) &&
                !MayHaveStoredAfterCut(name, content)) {
                return false;
            }
        }
        return true;
    }

    // Looks for an upload of `name` bringing `content` anywhere from the
    // cut on, whatever framing the box followed, after a login it may have
    // had by then.
    bool MayHaveStoredAfterCut(const std::string& name, const std::string& content) const {
        if (cutAt_ == kNoCut) {
            return false;
        }
        size_t loggedInFrom = loggedInAtCut_ ? cutAt_ : kNoCut;
        for (size_t at = cutAt_; at < pcBytes_.size(); ++at) {
            Stream pc(pcBytes_, at);
            wire::Bytes<wire::kRequestHeaderSize> head;
            wire::Bytes<wire::kLoginPayloadSize> payload;
            wire::Bytes<wire::kNameFieldSize> field;
            if (!pc.Take(&head)) {
                return false;
            }
            if (IsHeaderOf(head, wire::kCmdLogin) && pc.Take(&payload) &&
                IsRightPassword(payload)) {
                loggedInFrom = std::min(loggedInFrom, pc.At());
                continue;
            }
            std::string data;
            if (IsHeaderOf(head, wire::kCmdUpload) && pc.Take(&field) &&
                wire::DecodeNameField(field) == name && MayStore(name, at >= loggedInFrom) &&
                TakeWholeUpload(&pc, &data) && data == content) {
                return true;
            }
        }
        return false;
    }

    const std::vector<uint8_t>& pcBytes_;
    Stream pc_;
    Stream box_;
    bool reset_;
    bool waitPhase_;
    const BoxFolder& folder_;
    BoxFolder::Files expected_;
    bool loggedIn_ = false;
    size_t requestAt_ = 0;
    size_t cutAt_ = kNoCut;
    bool loggedInAtCut_ = false;
    std::string failure_;
};

}  // namespace

std::string BoxExchangeCheck::Run(const std::vector<uint8_t>& pc, const std::vector<uint8_t>& box,
                                  bool reset, bool waitPhase, const BoxFolder& folder,
                                  const BoxFolder::Files& now) {
    return Walk(pc, box, reset, waitPhase, folder).Run(now);
}
