#include "tests/support/ScriptedBox.h"

#include <array>
#include <chrono>
#include <cstdio>
#include <thread>

#include "box/WireFormat.h"

namespace {

constexpr long kStepWaitSeconds = 10;

bool ReadExactly(net::Handle h, size_t count, ScriptedBox::Bytes* received) {
    uint8_t buffer[4096];
    while (count > 0) {
        if (net::SelectOne(h, true, kStepWaitSeconds) <= 0) {
            return false;
        }
        const int want = static_cast<int>(count < sizeof buffer ? count : sizeof buffer);
        const int r = net::ReceiveSome(h, buffer, want);
        if (r <= 0) {
            return false;
        }
        received->insert(received->end(), buffer, buffer + r);
        count -= static_cast<size_t>(r);
    }
    return true;
}

}  // namespace

uint16_t ClosedLoopbackPort() {
    int error = 0;
    const net::Handle h = net::Listen("127.0.0.1", 0, 1, &error);
    const uint16_t port = net::LocalPort(h);
    net::CloseHandle(h);
    return port;
}

ScriptedBox::Bytes Concat(std::initializer_list<ScriptedBox::Bytes> parts) {
    ScriptedBox::Bytes all;
    for (const auto& p : parts) {
        all.insert(all.end(), p.begin(), p.end());
    }
    return all;
}

ScriptedBox::ScriptedBox() {
    net::Startup();
    int error = 0;
    listener_ = net::Listen("127.0.0.1", 0, 4, &error);
    port_ = net::LocalPort(listener_);
}

ScriptedBox::~ScriptedBox() {
    Finish();
    net::CloseHandle(listener_);
}

ScriptedBox& ScriptedBox::Read(size_t count) {
    scripts_.back().push_back(Step{Step::kRead, count, {}, 0});
    return *this;
}

ScriptedBox& ScriptedBox::Write(const Bytes& bytes, size_t pieceSize) {
    scripts_.back().push_back(Step{Step::kWrite, 0, bytes, pieceSize});
    return *this;
}

ScriptedBox& ScriptedBox::Close() {
    scripts_.back().push_back(Step{Step::kClose, 0, {}, 0});
    return *this;
}

ScriptedBox& ScriptedBox::LoginAndList(const char* group, std::initializer_list<const char*> names,
                                       int32_t type) {
    wire::ListPayload list;
    for (const char* name : names) {
        wire::ListRecord& record = list.records[static_cast<size_t>(list.count++)];
        std::snprintf(record.group, sizeof record.group, "%s", group);
        std::snprintf(record.name, sizeof record.name, "%s", name);
        record.type = type;
    }
    return LoginAndList(B(wire::EncodeListPayload(list)));
}

ScriptedBox& ScriptedBox::LoginAndList(const Bytes& listPayload) {
    return Read(wire::kRequestHeaderSize + wire::kLoginPayloadSize)
        .Write(wire::EncodeReply({wire::kToolVersion, 0, wire::kStatusAccepted}))
        .Read(wire::kRequestHeaderSize)
        .Write(wire::EncodeReply({wire::kListReplyValue, 0, 0}))
        .Write(listPayload);
}

ScriptedBox& ScriptedBox::NextConnection() {
    scripts_.emplace_back();
    return *this;
}

void ScriptedBox::Start() {
    received_.assign(scripts_.size(), {});
    thread_ = std::thread([this] { Serve(); });
}

bool ScriptedBox::HasWaitingConnection() const {
    return net::SelectOneMs(listener_, true, 0) > 0;
}

void ScriptedBox::Serve() {
    for (size_t i = 0; i < scripts_.size(); ++i) {
        if (net::SelectOne(listener_, true, kStepWaitSeconds) <= 0) {
            return;
        }
        const net::Handle h = net::Accept(listener_);
        if (h == net::kInvalidHandle) {
            return;
        }
        net::SetNoDelay(h, true);
        RunScript(h, scripts_[i], &received_[i]);
        net::CloseHandle(h);
    }
}

void ScriptedBox::RunScript(net::Handle h, const std::vector<Step>& script, Bytes* received) {
    for (const Step& step : script) {
        switch (step.kind) {
            case Step::kRead:
                if (!ReadExactly(h, step.count, received)) {
                    return;
                }
                break;
            case Step::kWrite: {
                const size_t piece = step.pieceSize == 0 ? step.bytes.size() : step.pieceSize;
                for (size_t off = 0; off < step.bytes.size(); off += piece) {
                    const size_t n = std::min(piece, step.bytes.size() - off);
                    size_t sent = 0;
                    while (sent < n) {
                        const int r = net::SendSome(h, step.bytes.data() + off + sent,
                                                    static_cast<int>(n - sent));
                        if (r <= 0) {
                            return;
                        }
                        sent += static_cast<size_t>(r);
                    }
                    if (step.pieceSize != 0) {
                        std::this_thread::sleep_for(std::chrono::milliseconds(2));
                    }
                }
                break;
            }
            case Step::kClose:
                return;
        }
    }
    // Record whatever else the PC sends until it closes the connection.
    uint8_t buffer[4096];
    while (net::SelectOne(h, true, kStepWaitSeconds) > 0) {
        const int r = net::ReceiveSome(h, buffer, sizeof buffer);
        if (r <= 0) {
            break;
        }
        received->insert(received->end(), buffer, buffer + r);
    }
}

std::vector<ScriptedBox::Bytes> ScriptedBox::Finish() {
    if (thread_.joinable()) {
        thread_.join();
    }
    return received_;
}

ScriptedBox::Bytes ScriptedBox::FirstReceived() {
    Finish();
    return received_.empty() ? Bytes{} : received_[0];
}
