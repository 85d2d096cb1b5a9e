#include "discovery/AddressProbe.h"

#include "box/BoxSession.h"
#include "box/BoxSocket.h"
#include "discovery/AddressRange.h"

FindResult AddressProbe::Probe(uint32_t address) const {
    FindResult result;
    result.address = address;
    BoxSocket socket;
    if (!socket.Connect(DottedAddress(address).c_str(), settings_.port, settings_.timeoutMs)) {
        result.detail = socket.ConnectError();
        return result;
    }
    if (!settings_.login) {
        result.kind = FindResult::Kind::kOpen;
        return result;
    }
    socket.UseExactWaits();
    socket.SetIoTimeoutMs(settings_.timeoutMs);
    BoxSession session(&socket);
    const int login = session.Login(settings_.password.c_str());
    const BoxSession::LoginReplySeen& seen = session.LastLoginReply();
    if (seen.bytes == 0) {
        result.kind = FindResult::Kind::kBusy;
        return result;
    }
    if (!seen.boxShaped) {
        result.kind = FindResult::Kind::kNotABox;
        result.detail = seen.bytes < wire::kReplySize
                            ? "sent " + std::to_string(seen.bytes) + " byte(s), no whole reply"
                            : "its reply is no box's";
        return result;
    }
    result.requiredVersion = seen.requiredVersion;
    if (login != BoxSession::kLoginOk) {
        const bool needsVersion = session.LoginNeedsVersion() != 0;
        result.kind =
            needsVersion ? FindResult::Kind::kNeedsNewerTool : FindResult::Kind::kWrongPassword;
        result.detail = needsVersion ? "needs " + wire::VersionText(seen.requiredVersion)
                                     : session.LoginRefusal();
        return result;
    }
    result.kind = FindResult::Kind::kBox;
    wire::ListRecord records[wire::kMaxListRecords];
    int count = 0;
    if (session.ListFiles(records, &count) == 0) {
        result.detail = "logged in, but its list did not come";
        return result;
    }
    result.fileCount = count;
    session.Logout();
    return result;
}
