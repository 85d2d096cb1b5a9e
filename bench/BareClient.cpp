#include "bench/BareClient.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "bench/BareSocket.h"
#include "box/ByteOrder.h"
#include "box/WireFormat.h"

namespace {

constexpr Cost kFailed{-1, 0};

}  // namespace

BareClient::~BareClient() {
    if (fd_ >= 0) {
        close(fd_);
    }
}

bool BareClient::Open(uint16_t port, const char* password, std::string* error) {
    fd_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    sa.sin_port = htons(port);
    if (fd_ < 0 || connect(fd_, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0) {
        *error = std::string("bare client: cannot connect: ") + std::strerror(errno);
        return false;
    }
    bare::SetNoDelay(fd_);
    wire::Bytes<wire::kReplySize> reply;
    if (!bare::SendAll(fd_,
                       wire::EncodeRequestHeader({wire::kCmdLogin, wire::kLoginPayloadSize})) ||
        !bare::SendAll(fd_, wire::EncodeLoginPayload(password)) || !bare::ReceiveAll(fd_, reply) ||
        reply[5] != wire::kStatusAccepted) {
        *error = "bare client: login failed";
        return false;
    }
    return true;
}

Cost BareClient::Download(const char* name) {
    const auto head = wire::EncodeRequestHeader({wire::kCmdDump, 0});
    const auto field = wire::EncodeNameField(name);
    const auto ack = wire::EncodeAcknowledgement();
    wire::Bytes<wire::kReplySize> reply;
    wire::Bytes<wire::kDataRecordSize> record;
    const Stopwatch watch;
    if (!bare::SendAll(fd_, head) || !bare::SendAll(fd_, field) || !bare::ReceiveAll(fd_, reply) ||
        reply[5] != wire::kStatusAccepted) {
        return kFailed;
    }
    do {
        if (!bare::ReceiveAll(fd_, record) || !bare::SendAll(fd_, ack)) {
            return kFailed;
        }
    } while (wire::GetI32(&record[4]) != wire::kFlagLast);
    return watch.Elapsed();
}

Cost BareClient::Upload(const char* name, uint64_t size) {
    const auto head = wire::EncodeRequestHeader({wire::kCmdUpload, 0});
    const auto field = wire::EncodeNameField(name);
    wire::UploadBlock block;
    block.flag = wire::kFlagMore;
    block.count = static_cast<int32_t>(wire::kBlockDataSize);
    const auto more = wire::EncodeUploadBlock(block);
    block.flag = wire::kFlagLast;
    block.count = static_cast<int32_t>(size % wire::kBlockDataSize);
    const auto last = wire::EncodeUploadBlock(block);
    wire::Bytes<wire::kReplySize> reply;
    const Stopwatch watch;
    if (!bare::SendAll(fd_, head) || !bare::SendAll(fd_, field) || !bare::ReceiveAll(fd_, reply) ||
        reply[5] != wire::kStatusAccepted) {
        return kFailed;
    }
    const uint64_t blocks = size / wire::kBlockDataSize + 1;
    for (uint64_t i = 1; i <= blocks; ++i) {
        if (!bare::SendAll(fd_, i == blocks ? last : more) || !bare::ReceiveAll(fd_, reply)) {
            return kFailed;
        }
    }
    return watch.Elapsed();
}
