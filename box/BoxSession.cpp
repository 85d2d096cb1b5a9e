#include "box/BoxSession.h"

#include <algorithm>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "base/StdioFile.h"
#include "box/BoxSocket.h"
#include "box/DownloadFile.h"
#include "box/PlainFileName.h"
#include "box/UploadFile.h"

namespace {

constexpr const char* kReadDataError = "PC > Read data error, please check the connect !\n";
constexpr const char* kReadFileError = "PC > Read file error, please check the connect !\n";

// Moves `size` bytes with repeated calls of step(done, waitMs), one send or
// receive of the bytes from `done` on (a negative wait: the socket's own
// time-out), all within budgetMs from the start. Returns the count moved,
// short of `size` when a call moved nothing or the time ran out. A message
// nearly always moves in one call, which needs no clock: the start is read
// before the first call, the clock again only when more calls must follow.
template <typename Step>
size_t MoveWithin(size_t size, int budgetMs, Step step) {
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    size_t done = 0;
    int wait = -1;
    while (done < size) {
        const int r = step(done, wait);
        if (r <= 0) {
            break;
        }
        done += static_cast<size_t>(r);
        if (done == size) {
            break;
        }
        const auto spent =
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
        wait = budgetMs - static_cast<int>(spent);
        if (wait <= 0) {
            break;
        }
    }
    return done;
}

}  // namespace

BoxSession::BoxSession(BoxSocket* socket) : socket_(socket) {}

void BoxSession::Log(const char* text) const {
    if (log_ != nullptr) {
        log_(text, 0);
    }
}

void BoxSession::LogF(const char* format, ...) const {
    if (log_ == nullptr) {
        return;
    }
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int n = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    std::vector<char> text(n > 0 ? n + 1 : 1, '\0');
    if (n > 0) {
        std::vsnprintf(text.data(), text.size(), format, again);
    }
    va_end(again);
    log_(text.data(), 0);
}

int BoxSession::Finish(TransferOutcome outcome, int result) {
    outcome_ = outcome;
    return result;
}

void BoxSession::Report(int percent) const {
    if (progress_ != nullptr) {
        progress_(percent);
    }
}

void BoxSession::ReportBytes(int64_t done, int64_t total) const {
    if (byteProgress_ != nullptr) {
        byteProgress_(done, total);
    }
}

bool BoxSession::CheckName(const char* name) const {
    if (IsPlainFileName(name)) {
        return true;
    }
    LogF("PC > Refused file name \"%s\": %s !\n", name != nullptr ? name : "",
         UnusableNameText(name).c_str());
    return false;
}

void BoxSession::ReceiveRefusal() {
    wire::Bytes<wire::kRefusalTextSize> refusal{};
    const size_t got = ReceiveWhole(refusal.data(), refusal.size());
    refusal_ = wire::FieldText(refusal.data(), got);
}

bool BoxSession::SendWhole(const uint8_t* data, size_t size) {
    const size_t sent = MoveWithin(size, socket_->IoTimeoutMs(), [&](size_t done, int wait) {
        return socket_->Send(data + done, static_cast<int>(size - done), wait);
    });
    return sent == size;
}

size_t BoxSession::ReceiveWhole(uint8_t* buffer, size_t size) {
    return MoveWithin(size, socket_->IoTimeoutMs(), [&](size_t done, int wait) {
        return socket_->Receive(buffer + done, static_cast<int>(size - done), wait);
    });
}

bool BoxSession::SendRequest(uint8_t command, uint16_t payloadLength) {
    return Send(wire::EncodeRequestHeader({command, payloadLength}));
}

int BoxSession::Login(const char* password) {
    loginRefusal_.clear();
    loginNeedsVersion_ = 0;
    loginReply_ = {};
    if (!SendRequest(wire::kCmdLogin, wire::kLoginPayloadSize)) {
        state_ = kNotLoggedIn;
        return kLoginFailed;
    }
    Send(wire::EncodeLoginPayload(password));
    wire::Bytes<wire::kReplySize> replyBytes{};
    loginReply_.bytes = ReceiveWhole(replyBytes.data(), replyBytes.size());
    if (loginReply_.bytes != replyBytes.size()) {
        state_ = kNotLoggedIn;
        return kLoginNoReply;
    }
    const wire::Reply reply = wire::DecodeReply(replyBytes);
    loginReply_.boxShaped = wire::HasLoginReplyShape(replyBytes);
    loginReply_.requiredVersion = reply.value;
    if (reply.value > wire::kToolVersion) {
        LogF("PC > This tool version is too low, need %s\n",
             wire::VersionText(reply.value).c_str());
        loginNeedsVersion_ = static_cast<uint16_t>(reply.value);
        state_ = kNotLoggedIn;
        return kLoginFailed;
    }
    if (reply.status == wire::kStatusAccepted) {
        Log("PC > REMOTE KEY IS DISABLE, until Logout !\n");
        Log("PC > Login OK. :) \n");
        state_ = kLoggedIn;
        return kLoginOk;
    }
    Log("PC > Login FAIL:");
    ReceiveRefusal();
    loginRefusal_ = refusal_;
    Log(loginRefusal_.c_str());
    Log("\n");
    state_ = kNotLoggedIn;
    return kLoginFailed;
}

int BoxSession::ListFiles(wire::ListRecord* buffer, int* count) {
    if (!SendRequest(wire::kCmdList, 0)) {
        state_ = kNotLoggedIn;
        return 0;
    }
    wire::Bytes<wire::kReplySize> replyBytes;
    if (!Receive(replyBytes) || wire::DecodeReply(replyBytes).value != wire::kListReplyValue) {
        state_ = kNotLoggedIn;
        return 0;
    }
    wire::Bytes<wire::kListPayloadSize> payloadBytes;
    if (!Receive(payloadBytes)) {
        state_ = kNotLoggedIn;
        return 0;
    }
    const wire::ListPayload payload = wire::DecodeListPayload(payloadBytes);
    listCount_ = payload.count;
    const size_t n = wire::UsableRecordCount(payload.count);
    for (size_t i = 0; i < n; ++i) {
        buffer[i] = payload.records[i];
    }
    *count = static_cast<int>(n);
    return 1;
}

int BoxSession::Dump(const char* name) {
    return DumpWith(name, nullptr, {}, ReplacedFile::kKeep);
}

int BoxSession::DumpInto(const char* name, const std::filesystem::path& folder,
                         ReplacedFile replaced) {
    return DumpWith(name, nullptr, folder, replaced);
}

int BoxSession::DumpTo(const char* name, DownloadSink& sink) {
    return DumpWith(name, &sink, {}, ReplacedFile::kDiscard);
}

int BoxSession::DumpWith(const char* name, DownloadSink* given, const std::filesystem::path& folder,
                         ReplacedFile replaced) {
    refusal_.clear();
    if (!CheckName(name)) {
        return Finish(TransferOutcome::kBadName, 0);
    }
    Log("\n");
    LogF("PC > Start to dump file:%s... \n", name);
    wire::Bytes<wire::kReplySize> replyBytes;
    if (!SendRequest(wire::kCmdDump, 0) || !Send(wire::EncodeNameField(name)) ||
        !Receive(replyBytes)) {
        Log(kReadFileError);
        state_ = kNotLoggedIn;
        return Finish(TransferOutcome::kLinkFailed, 0);
    }
    if (wire::DecodeReply(replyBytes).status != wire::kStatusAccepted) {
        ReceiveRefusal();
        Log("\nPC > read file fail!\n");
        state_ = kNotLoggedIn;
        return Finish(TransferOutcome::kRefused, 1);
    }
    Report(0);
    // The box has accepted and sends the file whatever happens here, so a
    // local file that cannot be written does not stop the exchange: the
    // records are still read and acknowledged, keeping the link in step.
    std::optional<DownloadFile> download;
    if (given == nullptr) {
        download.emplace(folder, name, replaced);
    }
    DownloadSink& file = given != nullptr ? *given : *download;
    const auto ack = wire::EncodeAcknowledgement();
    wire::Bytes<wire::kDataRecordSize> recordBytes;
    int64_t received = 0;
    for (;;) {
        if (!Receive(recordBytes)) {
            Log(kReadDataError);
            return Finish(TransferOutcome::kLinkFailed, 0);
        }
        const wire::DataRecordView record(recordBytes);
        const std::span<const uint8_t> data = record.Data();
        file.Write(data.data(), data.size());
        received += static_cast<int64_t>(data.size());
        ReportBytes(received, -1);
        const int32_t percent = record.Percent();
        if (percent >= 0 && percent <= 100) {
            Report(percent);
        }
        if (!Send(ack)) {
            Log(kReadDataError);
            return Finish(TransferOutcome::kLinkFailed, 0);
        }
        if (record.Flag() == wire::kFlagLast) {
            break;
        }
    }
    if (!file.IsOpen()) {
        LogF("PC > Can not create local file:%s !\n", name);
        return Finish(TransferOutcome::kLocalFailed, 0);
    }
    if (!file.Commit()) {
        if (download && download->KeepFailed()) {
            LogF("PC > Can not keep local file:%s as %s, so not replaced !\n", name,
                 ReplacingFile::KeptName(name).c_str());
        } else {
            LogF(file.WriteFailed() ? "PC > Can not write local file:%s !\n"
                                    : "PC > Can not replace local file:%s !\n",
                 name);
        }
        return Finish(TransferOutcome::kLocalFailed, 0);
    }
    Report(100);
    Log("\nPC > Dump finished !\n");
    if (download && download->Kept()) {
        LogF("PC > The local file it replaced held other bytes: kept as %s\n",
             ReplacingFile::KeptName(name).c_str());
    }
    return Finish(TransferOutcome::kDone, 1);
}

int BoxSession::Upload(const char* name) {
    return UploadFrom(name, {});
}

int BoxSession::UploadFrom(const char* name, const std::filesystem::path& folder, LinkRule links) {
    // A name that is not a plain file name never reaches the file system.
    if (!CheckName(name)) {
        refusal_.clear();
        return Finish(TransferOutcome::kBadName, 0);
    }
    UploadFile file(folder / name, links);
    return UploadFrom(name, file);
}

int BoxSession::UploadFrom(const char* name, UploadSource& source) {
    refusal_.clear();
    waitMessages_.clear();
    if (!CheckName(name)) {
        return Finish(TransferOutcome::kBadName, 0);
    }
    // Opened before anything is sent: a missing file is found while the box
    // still expects nothing.
    const int64_t size = source.IsOpen() ? source.Size() : -1;
    if (size < 0) {
        LogF("PC > Can not open local file:%s !\n", name);
        return Finish(TransferOutcome::kLocalFailed, 0);
    }
    wire::Bytes<wire::kReplySize> replyBytes;
    if (!SendRequest(wire::kCmdUpload, 0) || !Send(wire::EncodeNameField(name)) ||
        !Receive(replyBytes)) {
        Log(kReadDataError);
        return Finish(TransferOutcome::kLinkFailed, 0);
    }
    const wire::Reply reply = wire::DecodeReply(replyBytes);
    if (reply.status != wire::kStatusAccepted) {
        ReceiveRefusal();
        Log(refusal_.c_str());
        Log("\n");
        return Finish(TransferOutcome::kRefused, 0);
    }
    Log("\n");
    LogF("PC > Start to upload file to BOX:%s...\n", name);
    wire::UploadBlock block;
    int64_t sent = 0;
    do {
        const size_t n = source.Read(block.data.data(), block.data.size());
        if (n < block.data.size() && source.ReadFailed()) {
            // Part of the file is with the box and the rest cannot be read:
            // the transfer cannot be completed, so the link is given up.
            LogF("PC > Can not read local file:%s, upload stopped !\n", name);
            socket_->Close();
            state_ = kNotLoggedIn;
            return Finish(TransferOutcome::kLocalFailed, kUploadBoxFailed);
        }
        block.flag = n == block.data.size() ? wire::kFlagMore : wire::kFlagLast;
        if (block.flag == wire::kFlagLast && !source.MayFinish()) {
            LogF("PC > Local file:%s is not what was checked, upload stopped !\n", name);
            socket_->Close();
            state_ = kNotLoggedIn;
            return Finish(TransferOutcome::kLocalFailed, kUploadBoxFailed);
        }
        block.count = static_cast<int32_t>(n);
        std::fill(block.data.begin() + static_cast<std::ptrdiff_t>(n), block.data.end(), 0);
        if (!Send(wire::EncodeUploadBlock(block)) || !Receive(replyBytes)) {
            Log(kReadDataError);
            return Finish(TransferOutcome::kLinkFailed, 0);
        }
        sent += static_cast<int64_t>(n);
        ReportBytes(sent, size);
        // A file that grew while it was sent must not report more than 100.
        Report(size == 0 || sent >= size ? 100 : static_cast<int>(sent * 100 / size));
    } while (block.flag != wire::kFlagLast);
    Log("PC > Wait BOX to process data...\n");
    if (reply.followUp == wire::kFollowUpWaitPhase && RunWaitPhase() >= wire::kStatusFailedFrom) {
        socket_->Close();
        state_ = kNotLoggedIn;
        return Finish(TransferOutcome::kBoxFailed, kUploadBoxFailed);
    }
    return Finish(TransferOutcome::kDone, 1);
}

int32_t BoxSession::RunWaitPhase() {
    int32_t status = wire::kFlagMore;
    wire::Bytes<wire::kDataRecordSize> recordBytes;
    do {
        const wire::DataRecordView record(recordBytes,
                                          ReceiveWhole(recordBytes.data(), recordBytes.size()));
        if (!record.IsWhole()) {
            if (record.HasFlag()) {
                status = record.Flag();
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            break;
        }
        Log(record.Text().c_str());
        Log("\n");
        status = record.Flag();
        if (waitMessages_.size() == kKeptWaitMessages) {
            waitMessages_.erase(waitMessages_.begin());
        }
        waitMessages_.push_back({record.Text(), record.Percent(), status});
    } while (status < wire::kFlagLast);
    return status;
}

bool BoxSession::LinkLost() const {
    return outcome_ == TransferOutcome::kLinkFailed || outcome_ == TransferOutcome::kBoxFailed ||
           !socket_->IsConnected();
}

int BoxSession::Logout() {
    if (state_ != kLoggedIn) {
        return 0;
    }
    SendRequest(wire::kCmdLogout, 0);
    state_ = kNotLoggedIn;
    return 0;
}
