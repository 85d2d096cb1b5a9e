#include "bench/BareBox.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "bench/BareSocket.h"
#include "box/ByteOrder.h"
#include "box/WireFormat.h"

BareBox::~BareBox() {
    stop_ = true;
    if (listener_ >= 0) {
        shutdown(listener_, SHUT_RDWR);  // wakes the blocked accept
    }
    if (acceptor_.joinable()) {
        acceptor_.join();
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (int fd : connections_) {
            shutdown(fd, SHUT_RDWR);
        }
    }
    for (std::thread& t : servers_) {
        t.join();
    }
    for (int fd : connections_) {
        close(fd);
    }
    if (listener_ >= 0) {
        close(listener_);
    }
}

bool BareBox::Start(std::string* error) {
    listener_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof sa;
    if (listener_ < 0 || bind(listener_, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0 ||
        listen(listener_, 4) != 0 ||
        getsockname(listener_, reinterpret_cast<sockaddr*>(&sa), &len) != 0) {
        *error = std::string("bare box: cannot listen on 127.0.0.1: ") + std::strerror(errno);
        return false;
    }
    port_ = ntohs(sa.sin_port);
    acceptor_ = std::thread([this] { Accept(); });
    return true;
}

void BareBox::Accept() {
    while (!stop_.load()) {
        const int fd = accept(listener_, nullptr, nullptr);
        if (fd < 0) {
            continue;
        }
        std::lock_guard<std::mutex> lock(mutex_);
        if (stop_.load()) {
            close(fd);
            break;
        }
        connections_.push_back(fd);
        servers_.emplace_back([this, fd] { Serve(fd); });
    }
}

void BareBox::Serve(int fd) {
    bare::SetNoDelay(fd);
    const auto accepted = wire::EncodeReply({0, 0, wire::kStatusAccepted});
    const auto loggedIn = wire::EncodeReply({wire::kToolVersion, 0, wire::kStatusAccepted});
    wire::DataRecord record;
    record.flag = wire::kFlagMore;
    record.length = static_cast<int32_t>(wire::kBlockDataSize);
    const auto more = wire::EncodeDataRecord(record);
    record.flag = wire::kFlagLast;
    const auto last = wire::EncodeDataRecord(record);
    wire::Bytes<wire::kRequestHeaderSize> head;
    wire::Bytes<wire::kLoginPayloadSize> login;
    wire::Bytes<wire::kNameFieldSize> name;
    wire::Bytes<wire::kAcknowledgementSize> ack;
    wire::Bytes<wire::kUploadBlockSize> block;
    while (bare::ReceiveAll(fd, head)) {
        bool ok = true;
        switch (head[0]) {
            case wire::kCmdLogin:
                ok = bare::ReceiveAll(fd, login) && bare::SendAll(fd, loggedIn);
                break;
            case wire::kCmdDump: {
                ok = bare::ReceiveAll(fd, name) && bare::SendAll(fd, accepted);
                const uint64_t size =
                    std::strtoull(reinterpret_cast<const char*>(name.data()), nullptr, 10);
                const uint64_t records = size == 0 ? 1 : (size + 1023) / 1024;
                for (uint64_t i = 1; ok && i <= records; ++i) {
                    ok = bare::SendAll(fd, i == records ? last : more) && bare::ReceiveAll(fd, ack);
                }
                break;
            }
            case wire::kCmdUpload:
                ok = bare::ReceiveAll(fd, name) && bare::SendAll(fd, accepted);
                while (ok) {
                    ok = bare::ReceiveAll(fd, block) && bare::SendAll(fd, accepted);
                    if (wire::GetI32(&block[0]) == wire::kFlagLast) {
                        break;
                    }
                }
                break;
            case wire::kCmdLogout:
                break;
            default:
                ok = false;
                break;
        }
        if (!ok) {
            break;
        }
    }
    shutdown(fd, SHUT_WR);
}
