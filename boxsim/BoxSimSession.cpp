#include "boxsim/BoxSimSession.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>
#include <vector>

#include "base/AsciiCase.h"
#include "box/PlainFileName.h"
#include "boxsim/BoxSimOptions.h"
#include "boxsim/ServedFile.h"
#include "boxsim/SimRecorder.h"
#include "boxsim/StoredUpload.h"
#include "catalog/Manifest.h"

namespace fs = std::filesystem;

namespace {

// Whole seconds as such, anything else in milliseconds.
std::string DurationText(int milliseconds) {
    constexpr int kMsPerSecond = 1000;
    return milliseconds % kMsPerSecond == 0 ? std::to_string(milliseconds / kMsPerSecond) + " s"
                                            : std::to_string(milliseconds) + " ms";
}

bool HeaderIsWellFormed(const wire::Bytes<wire::kRequestHeaderSize>& bytes,
                        const wire::RequestHeader& h) {
    const uint16_t expected = h.command == wire::kCmdLogin ? wire::kLoginPayloadSize : 0;
    return bytes[1] == 0 && h.payloadLength == expected;
}

// The fault --corrupt-uploads plays: the last byte inverted, or one byte
// added to an empty file, so that every stored copy differs from what came.
void CorruptLastBlock(wire::UploadBlock* block) {
    if (block->count == 0) {
        block->data[0] = 0x5A;
        block->count = 1;
    } else {
        block->data[static_cast<size_t>(block->count) - 1] ^= 0xFF;
    }
}

}  // namespace

BoxSimSession::BoxSimSession(const BoxSimOptions& options, const Manifest& manifest,
                             SimConnection& connection, SimRecorder& recorder)
    : options_(options), manifest_(manifest), connection_(connection), recorder_(recorder) {}

std::string BoxSimSession::Run() {
    while (true) {
        Io io = connection_.WaitForRequest(options_.idleTimeoutMs);
        if (io == Io::kTimedOut) {
            recorder_.Notice(&BoxSimStats::idleDrops, "dropping the client: no request for " +
                                                          DurationText(options_.idleTimeoutMs) +
                                                          " (idle limit)");
            end_ = "dropped by the box (idle limit)";
            return end_;
        }
        wire::Bytes<wire::kRequestHeaderSize> head{};
        if (io == Io::kOk) {
            io = connection_.Receive(head, options_.ioTimeoutMs);
        }
        if (io != Io::kOk) {
            Lost(io);
            return end_;
        }
        const wire::RequestHeader h = wire::DecodeRequestHeader(head);
        if (h.command < wire::kCmdLogin || h.command > wire::kCmdLogout) {
            CloseByBox("unknown command " + std::to_string(h.command));
            return end_;
        }
        if (!HeaderIsWellFormed(head, h)) {
            CloseByBox("malformed header of command " + std::to_string(h.command));
            return end_;
        }
        bool keep = true;
        switch (h.command) {
            case wire::kCmdLogin:
                keep = HandleLogin();
                break;
            case wire::kCmdList:
                keep = HandleList();
                break;
            case wire::kCmdDump:
                keep = HandleDump();
                break;
            case wire::kCmdUpload:
                keep = HandleUpload();
                break;
            default:
                loggedIn_ = false;
                recorder_.Count(&BoxSimStats::logouts, "logout");
                break;
        }
        if (!keep) {
            return end_;
        }
    }
}

bool BoxSimSession::Lost(Io io) {
    switch (io) {
        case Io::kStopped:
            end_ = "box stopped";
            break;
        case Io::kTimedOut:
            end_ = "time-out waiting for the PC";
            break;
        default:
            end_ = "closed by the PC";
            break;
    }
    return false;
}

bool BoxSimSession::CloseByBox(const std::string& why) {
    recorder_.Count(&BoxSimStats::protocolErrors, "protocol error: " + why);
    end_ = "closed by the box after a protocol error";
    return false;
}

BoxSimSession::Io BoxSimSession::Answer(const uint8_t* data, size_t size) {
    if (options_.paceMs > 0 && !connection_.Pause(options_.paceMs)) {
        return Io::kStopped;
    }
    return connection_.Send(data, size, options_.ioTimeoutMs);
}

bool BoxSimSession::AnswerWith(const wire::Reply& reply, const uint8_t* message, size_t size) {
    // The pace wait comes before the reply only: the message follows it at once.
    Io io = Answer(wire::EncodeReply(reply));
    if (io == Io::kOk) {
        io = connection_.Send(message, size, options_.ioTimeoutMs);
    }
    return io == Io::kOk || Lost(io);
}

bool BoxSimSession::SendRefusal(const wire::Reply& reply, const std::string& text) {
    return AnswerWith(reply, wire::EncodeRefusalText(text));
}

bool BoxSimSession::HandleLogin() {
    wire::Bytes<wire::kLoginPayloadSize> payload{};
    const Io io = connection_.Receive(payload, options_.ioTimeoutMs);
    if (io != Io::kOk) {
        return Lost(io);
    }
    loggedIn_ = false;
    if (options_.noLoginReply) {
        recorder_.Count(&BoxSimStats::loginsUnanswered, "login: not answered (no-login-reply)");
        return true;
    }
    std::string refusal = options_.refuseLogin;
    if (refusal.empty() && wire::DecodeLoginPassword(payload) != options_.password) {
        refusal = kWrongPassword;
    }
    if (!refusal.empty()) {
        recorder_.Count(&BoxSimStats::loginsRefused, "login: refused: " + refusal);
        return SendRefusal({options_.requiredVersion, 0, 0}, refusal);
    }
    recorder_.Count(&BoxSimStats::loginsAccepted, "login: accepted (tool " +
                                                      wire::VersionText(options_.requiredVersion) +
                                                      " or newer required)");
    const Io sent = Answer(wire::EncodeReply({options_.requiredVersion, 0, wire::kStatusAccepted}));
    loggedIn_ = sent == Io::kOk;
    return sent == Io::kOk || Lost(sent);
}

bool BoxSimSession::HandleList() {
    if (!loggedIn_) {
        // A reply whose value is not the payload size: the PC reads no list.
        recorder_.Note("list: refused, not logged in");
        const Io io = Answer(wire::EncodeReply({0, 0, 0}));
        return io == Io::kOk || Lost(io);
    }
    wire::ListPayload payload;
    const auto& entries = manifest_.Entries();
    const size_t count = std::min(entries.size(), wire::kMaxListRecords);
    payload.count = static_cast<int32_t>(count);
    for (size_t i = 0; i < count; ++i) {
        wire::ListRecord& r = payload.records[i];
        std::memcpy(r.group, entries[i].group.c_str(),
                    std::min(entries[i].group.size(), sizeof r.group - 1));
        std::memcpy(r.name, entries[i].name.c_str(),
                    std::min(entries[i].name.size(), sizeof r.name - 1));
        r.type = entries[i].type;
    }
    recorder_.Count(&BoxSimStats::lists, "list: " + std::to_string(count) + " file(s)");
    return AnswerWith({wire::kListReplyValue, 0, wire::kStatusAccepted},
                      wire::EncodeListPayload(payload));
}

bool BoxSimSession::HandleDump() {
    wire::Bytes<wire::kNameFieldSize> field{};
    const Io io = connection_.Receive(field, options_.ioTimeoutMs);
    if (io != Io::kOk) {
        return Lost(io);
    }
    const std::string name = wire::DecodeNameField(field);
    std::string refusal;
    std::string why;  // for the event line only: the PC is told it is missing
    ServedFile file;
    FileKind kind = FileKind::kRegular;
    if (!loggedIn_) {
        refusal = kNotLoggedIn;
    } else if (!options_.refuseDump.empty()) {
        refusal = options_.refuseDump;
    } else if (!IsPlainFileName(name.c_str())) {
        refusal = kBadName;
    } else if (manifest_.Find(name) == nullptr) {
        refusal = kNotListed;
    } else if (!file.Open(fs::path(options_.folder) / name, &kind)) {
        refusal = kMissingOnBox;
        why = std::string(" (") + FileKindText(kind) + ")";
    }
    if (!refusal.empty()) {
        recorder_.Count(&BoxSimStats::dumpsRefused, "dump " + name + ": refused: " + refusal + why);
        return SendRefusal({0, 0, 0}, refusal);
    }
    const Io sent = Answer(wire::EncodeReply({0, 0, wire::kStatusAccepted}));
    if (sent != Io::kOk) {
        recorder_.Count(&BoxSimStats::dumpsBrokenOff, "dump " + name + ": broken off");
        return Lost(sent);
    }
    return SendDataRecords(name, file);
}

bool BoxSimSession::SendDataRecords(const std::string& name, ServedFile& file) {
    const uint64_t size = file.Size();
    uint64_t sent = 0;
    int records = 0;
    bool last = false;
    do {
        if (records == options_.closeAfterRecords) {
            recorder_.Count(&BoxSimStats::dumpsBrokenOff, "dump " + name + ": closing after " +
                                                              std::to_string(records) +
                                                              " record(s) (close-after-records)");
            end_ = "closed by the box (close-after-records)";
            return false;
        }
        wire::DataRecord record;
        size_t n = 0;
        if (!file.Next(&record.data, &n, &last)) {
            recorder_.Count(&BoxSimStats::dumpsBrokenOff,
                            "dump " + name + ": the file cannot be read; closing");
            end_ = "closed by the box (file read error)";
            return false;
        }
        // Percent of the size at the start; a file that grew stays at 100.
        record.percent = static_cast<int32_t>(
            last || size == 0 ? 100 : std::min<uint64_t>(100, (sent + n) * 100 / size));
        record.flag = last ? wire::kFlagLast : wire::kFlagMore;
        record.length = static_cast<int32_t>(n);
        Io io = Answer(wire::EncodeDataRecord(record));
        wire::Bytes<wire::kAcknowledgementSize> ack{};
        if (io == Io::kOk) {
            ++records;
            recorder_.AddRecordsSent(1);
            io = connection_.Receive(ack, options_.ioTimeoutMs);
        }
        if (io != Io::kOk) {
            recorder_.Count(
                &BoxSimStats::dumpsBrokenOff,
                "dump " + name + ": broken off after " + std::to_string(records) + " record(s)");
            return Lost(io);
        }
        if (!wire::IsAcknowledgement(ack)) {
            return CloseByBox("dump " + name + ": bad acknowledgement");
        }
        sent += n;
    } while (!last);
    recorder_.Count(&BoxSimStats::dumpsCompleted, "dump " + name + ": " + std::to_string(sent) +
                                                      " byte(s) in " + std::to_string(records) +
                                                      " record(s)");
    return true;
}

std::string BoxSimSession::UploadRefusal(const std::string& name) const {
    if (!loggedIn_) {
        return kNotLoggedIn;
    }
    if (!options_.refuseUpload.empty()) {
        return options_.refuseUpload;
    }
    switch (CheckFileName(name.c_str())) {
        case FileNameFault::kNotPlain:
            return kBadName;
        case FileNameFault::kWindowsSpecial:
        case FileNameFault::kWindowsRunnable:
            // Refused on every platform, so that the box behaves the same everywhere.
            return kReservedName;
        case FileNameFault::kNone:
            break;
    }
    if (EqualIgnoringAsciiCase(name, options_.manifestName) ||
        name.rfind(StoredUpload::kTemporaryPrefix, 0) == 0) {
        return kReservedName;
    }
    // Found now, while the PC can still be told: once the blocks have come
    // the protocol has no refusal left, only the wait phase when there is one.
    std::error_code ec;
    const fs::path target = fs::path(options_.folder) / name;
    if (fs::exists(fs::symlink_status(target, ec)) && !fs::is_regular_file(target, ec)) {
        return kCannotStore;
    }
    return "";
}

bool BoxSimSession::HandleUpload() {
    wire::Bytes<wire::kNameFieldSize> field{};
    Io io = connection_.Receive(field, options_.ioTimeoutMs);
    if (io != Io::kOk) {
        return Lost(io);
    }
    const std::string name = wire::DecodeNameField(field);
    std::string refusal = UploadRefusal(name);
    std::unique_ptr<StoredUpload> file;
    if (refusal.empty()) {
        file = std::make_unique<StoredUpload>(options_.folder, name);
        if (!file->IsOpen()) {
            refusal = kCannotStore;
        }
    }
    if (!refusal.empty()) {
        recorder_.Count(&BoxSimStats::uploadsRefused, "upload " + name + ": refused: " + refusal);
        return SendRefusal({0, 0, 0}, refusal);
    }
    const bool update = !options_.updateFile.empty() && name == options_.updateFile;
    const uint8_t followUp = options_.waitPhase || update ? wire::kFollowUpWaitPhase : 0;
    io = Answer(wire::EncodeReply({0, followUp, wire::kStatusAccepted}));
    wire::UploadBlock block;
    while (io == Io::kOk) {
        wire::Bytes<wire::kUploadBlockSize> bytes{};
        io = connection_.Receive(bytes, options_.ioTimeoutMs);
        if (io != Io::kOk) {
            break;
        }
        block = wire::DecodeUploadBlock(bytes);
        if ((block.flag != wire::kFlagMore && block.flag != wire::kFlagLast) || block.count < 0 ||
            block.count > static_cast<int32_t>(wire::kBlockDataSize)) {
            return CloseByBox("upload " + name + ": malformed block");
        }
        if (options_.corruptUploads && block.flag == wire::kFlagLast) {
            CorruptLastBlock(&block);
        }
        file->Write(block.data.data(), static_cast<size_t>(block.count));
        io = Answer(wire::EncodeReply({0, 0, wire::kStatusAccepted}));
        if (block.flag == wire::kFlagLast) {
            break;
        }
    }
    if (io != Io::kOk) {
        recorder_.Count(&BoxSimStats::uploadsBrokenOff, "upload " + name + ": broken off");
        return Lost(io);
    }
    if (update && !options_.updateFails.empty()) {
        // A rejected update leaves the box as it was: the file goes with `file`.
        return RunUpdate(name, false);
    }
    const bool stored = file->Commit();
    if (stored) {
        recorder_.Count(&BoxSimStats::uploadsStored,
                        "upload " + name + ": stored " + std::to_string(file->Size()) + " byte(s)");
    } else {
        recorder_.Count(&BoxSimStats::uploadsBrokenOff, "upload " + name + ": cannot be stored");
    }
    if (update) {
        return RunUpdate(name, stored);
    }
    return !options_.waitPhase || RunWaitPhase(name, stored);
}

bool BoxSimSession::RunUpdate(const std::string& name, bool stored) {
    if (!options_.updateFails.empty()) {
        recorder_.Count(&BoxSimStats::updatesFailed, "update " + name + ": failing (update-fails)");
        return SendWaitMessages(name, {"Checking " + name + "...", options_.updateFails},
                                wire::kStatusFailedFrom);
    }
    if (!stored) {
        return SendWaitMessages(name, {kCannotStore}, wire::kStatusFailedFrom);
    }
    if (!SendWaitMessages(
            name, {"Checking " + name + "...", "Writing the update...", "Update done, restarting"},
            wire::kFlagLast)) {
        return false;
    }
    restart_ = true;
    end_ = "closed by the box (restarting after the update)";
    return false;
}

bool BoxSimSession::RunWaitPhase(const std::string& name, bool stored) {
    std::vector<std::string> messages = options_.waitMessages;
    int32_t finalStatus = options_.waitFinalStatus;
    if (!stored) {
        messages = {kCannotStore};
        finalStatus = wire::kStatusFailedFrom;
    } else if (messages.empty()) {
        messages = {"Checking " + name + "...",
                    finalStatus < wire::kStatusFailedFrom ? name + " stored" : name + " rejected"};
    }
    return SendWaitMessages(name, messages, finalStatus);
}

bool BoxSimSession::SendWaitMessages(const std::string& name,
                                     const std::vector<std::string>& messages,
                                     int32_t finalStatus) {
    for (size_t i = 0; i < messages.size(); ++i) {
        const bool last = i + 1 == messages.size();
        wire::DataRecord record;
        const size_t n = std::min(messages[i].size(), wire::kBlockDataSize - 1);
        std::memcpy(record.data.data(), messages[i].data(), n);
        record.percent = static_cast<int32_t>((i + 1) * 100 / messages.size());
        record.flag = last ? finalStatus : wire::kFlagMore;
        record.length = static_cast<int32_t>(n);
        const Io io = Answer(wire::EncodeDataRecord(record));
        if (io != Io::kOk) {
            return Lost(io);
        }
    }
    recorder_.Note("upload " + name + ": wait phase, " + std::to_string(messages.size()) +
                   " message(s), final status " + std::to_string(finalStatus));
    return true;
}
