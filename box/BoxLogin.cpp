#include "box/BoxLogin.h"

#include "base/TextEscape.h"
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
            // The port took the connection, so no "Can not connect" here: the
            // window says its own line, then LoginProblemText says what it was.
            return LoginOutcome::kPortClosed;
        }
    }
}

std::string LoginProblemText(LoginOutcome outcome, const std::string& host, int port,
                             const std::string& connectError) {
    const std::string at = QuoteForMessage(host) + ":" + std::to_string(port);
    switch (outcome) {
        case LoginOutcome::kCannotConnect:
            return "cannot connect to " + at + ": " + connectError +
                   "; check that the box is on and that the address and port are its own";
        case LoginOutcome::kPortClosed:
            return at +
                   " took the connection but did not answer the login: the box may be busy "
                   "with another client (the window or another velqo-cli logged in to it), as "
                   "it serves one at a time; log out there or wait until it ends, then try "
                   "again. If nothing else uses it, this may not be a box, or not its port";
        default:
            return {};
    }
}
