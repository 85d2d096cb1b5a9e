#include "fuzz/BoxExchangeCheck.h"

#include <algorithm>
#include <cstring>

#include "box/WireFormat.h"

namespace {

// One direction's bytes, taken message by message.
class Stream {
public:
    explicit Stream(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}
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

private:
    const std::vector<uint8_t>& bytes_;
    size_t at_ = 0;
};

// The box ends a connection whose request header is not one of the five.
bool HeaderIsWellFormed(const wire::Bytes<wire::kRequestHeaderSize>& b) {
    const wire::RequestHeader h = wire::DecodeRequestHeader(b);
    if (h.command < wire::kCmdLogin || h.command > wire::kCmdLogout || b[1] != 0) {
        return false;
    }
    return h.payloadLength == (h.command == wire::kCmdLogin ? wire::kLoginPayloadSize : 0);
}

class Walk {
public:
    Walk(const std::vector<uint8_t>& pc, const std::vector<uint8_t>& box, bool reset,
         bool waitPhase, const BoxFolder& folder)
        : pc_(pc), box_(box), reset_(reset), waitPhase_(waitPhase), folder_(folder) {
        result_.expected = folder.Initial();
    }

    BoxExchangeCheck::Result Run() {
        while (result_.ok && Request()) {
        }
        // What follows the last exchange the box took part in: nothing.
        if (result_.ok && !box_.AtEnd()) {
            Fail("the box sent " + std::to_string(box_.Left()) + " byte(s) out of frame");
        }
        return result_;
    }

private:
    bool Fail(const std::string& why) {
        result_.ok = false;
        result_.failure = why;
        return false;
    }

    // A box message that must be there; missing is a failure unless the
    // connection was reset, which may have cut it off.
    template <size_t N>
    bool FromBox(wire::Bytes<N>* out, const char* what, bool* cut) {
        if (box_.Take(out)) {
            return true;
        }
        if (reset_) {
            *cut = true;
            return false;
        }
        return Fail(std::string("the box did not send the ") + what);
    }

    // False when the connection has ended (or a failure was found).
    bool Request() {
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

    bool Refusal(bool* cut) {
        wire::Bytes<wire::kRefusalTextSize> text;
        return FromBox(&text, "refusal text", cut);
    }

    bool Login() {
        wire::Bytes<wire::kLoginPayloadSize> payload;
        wire::Bytes<wire::kReplySize> reply;
        bool cut = false;
        if (!pc_.Take(&payload) || !FromBox(&reply, "login reply", &cut)) {
            return false;
        }
        const wire::Reply r = wire::DecodeReply(reply);
        const bool right = std::memcmp(payload.data() + 4, BoxFolder::kPassword, 4) == 0;
        if ((r.status == wire::kStatusAccepted) != right) {
            return Fail(right ? "the right password was refused" : "a wrong password was accepted");
        }
        loggedIn_ = right;
        return right || Refusal(&cut);
    }

    bool List() {
        wire::Bytes<wire::kReplySize> reply;
        bool cut = false;
        if (!FromBox(&reply, "list reply", &cut)) {
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
        if (!FromBox(&list, "list payload", &cut)) {
            return false;
        }
        return wire::DecodeListPayload(list).count == 5 || Fail("the list lost files");
    }

    bool Dump() {
        wire::Bytes<wire::kNameFieldSize> field;
        wire::Bytes<wire::kReplySize> reply;
        bool cut = false;
        if (!pc_.Take(&field) || !FromBox(&reply, "dump reply", &cut)) {
            return false;
        }
        const std::string name = wire::DecodeNameField(field);
        const auto file = result_.expected.find(name);
        const bool servable = loggedIn_ && folder_.IsListed(name) && file != result_.expected.end();
        if (wire::DecodeReply(reply).status != wire::kStatusAccepted) {
            return !servable ? Refusal(&cut) : Fail("a listed file was refused: " + name);
        }
        if (!servable) {
            return Fail("a download that cannot be served was accepted: " + name);
        }
        std::string served;
        while (true) {
            wire::Bytes<wire::kDataRecordSize> bytes;
            wire::Bytes<wire::kAcknowledgementSize> ack;
            if (!FromBox(&bytes, "download record", &cut)) {
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
        bool cut = false;
        if (!pc_.Take(&field) || !FromBox(&reply, "upload reply", &cut)) {
            return false;
        }
        const std::string name = wire::DecodeNameField(field);
        const wire::Reply accepted = wire::DecodeReply(reply);
        if (accepted.status != wire::kStatusAccepted) {
            return Refusal(&cut);
        }
        if (!loggedIn_ || name == BoxFolder::kManifestName || name == BoxFolder::kFolderName) {
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
            if (!FromBox(&reply, "block reply", &cut)) {
                if (cut && block.flag == wire::kFlagLast) {
                    result_.undecidedName = name;
                    result_.undecidedUpload = data;
                }
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
            if (!FromBox(&bytes, "wait phase record", &cut)) {
                return false;
            }
            status = wire::DecodeDataRecord(bytes).flag;
            stored = status < wire::kStatusFailedFrom;
        }
        if (stored) {
            result_.expected[name] = data;
        }
        return true;
    }

    Stream pc_;
    Stream box_;
    bool reset_;
    bool waitPhase_;
    const BoxFolder& folder_;
    bool loggedIn_ = false;
    BoxExchangeCheck::Result result_;
};

}  // namespace

BoxExchangeCheck::Result BoxExchangeCheck::Run(const std::vector<uint8_t>& pc,
                                               const std::vector<uint8_t>& box, bool reset,
                                               bool waitPhase, const BoxFolder& folder) {
    return Walk(pc, box, reset, waitPhase, folder).Run();
}
