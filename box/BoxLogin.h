#pragma once
// The Login button's rule, shared by the window and the command-line client:
// connect, log in, and on a reply that did not come whole reconnect and try
// once more; at most two login attempts and three connects. A host that is
// not an address as typed (HostAddress) is refused before any connection.
class BoxSession;
class BoxSocket;

enum class LoginOutcome {
    kLoggedIn,       // logged in; the caller fetches the list
    kBadAddress,     // the host is no address as typed: "PC > BOX IP ..." logged, nothing sent
    kRefused,        // the box refused (the session has logged why); socket left open
    kCannotConnect,  // a connect failed: "PC > Can not connect ! " was logged
    kPortClosed,     // two logins without a reply: "PC > Can not connect, Port is close !"
};

LoginOutcome ConnectAndLogin(BoxSocket& socket, BoxSession& session, const char* host, int port,
                             const char* password);
