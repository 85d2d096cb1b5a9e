#include "box/BoxLogin.h"

#include "box/BoxSession.h"
#include "box/BoxSocket.h"
#include "box/HostAddress.h"

LoginOutcome ConnectAndLogin(BoxSocket& socket, BoxSession& session, const char* host, int port,
                             const char* password) {
    session.Log("\n");
    if (const HostAddress address(host != nullptr ? host : ""); !address.IsValid()) {
        session.Log(("PC > BOX IP " + address.Problem() + " \n").c_str());
        return LoginOutcome::kBadAddress;
    }
    session.Log("PC > Now connecting to BOX ....wait 20 seconds \n");
    session.Logout();
    if (!socket.Connect(host, port, BoxSocket::kDefaultConnectTimeoutMs)) {
        session.Log("PC > Can not connect ! \n");
        return LoginOutcome::kCannotConnect;
    }
    for (int retries = 0;;) {
        const int r = session.Login(password);
        if (r == BoxSession::kLoginOk) {
            return LoginOutcome::kLoggedIn;
        }
        if (r != BoxSession::kLoginNoReply) {
            return LoginOutcome::kRefused;
        }
        if (!socket.Connect(host, port, BoxSocket::kDefaultConnectTimeoutMs)) {
            session.Log("PC > Can not connect ! \n");
            return LoginOutcome::kCannotConnect;
        }
        if (++retries >= 2) {
            session.Log("PC > Can not connect, Port is close !\n");
            return LoginOutcome::kPortClosed;
        }
    }
}
