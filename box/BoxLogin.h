#pragma once
// The Login button's rule, shared by the window and the command-line client:
// connect, log in, and on a reply that did not come whole reconnect and try
// once more; at most two login attempts and three connects. A host that is
// not an address as typed (HostAddress) is refused before any connection.
#include <string>

class BoxSession;
class BoxSocket;

enum class LoginOutcome {
    kLoggedIn,       // logged in; the caller fetches the list
    kBadAddress,     // the host is no address as typed: "PC > BOX IP ..." logged, nothing sent
    kRefused,        // the box refused (the session has logged why); socket left open
    kCannotConnect,  // a connect failed: "PC > Can not connect ! " was logged
    kPortClosed,     // two logins without a reply: nothing logged (LoginProblemText says it)
};

LoginOutcome ConnectAndLogin(BoxSocket& socket, BoxSession& session, const char* host, int port,
                             const char* password);

// What went wrong at HOST:PORT and what to check, for a login that did not
// come about because of the link (kCannotConnect: `connectError` is the
// socket's reason; kPortClosed); empty for the other outcomes. velqo-cli
// ends with it, the window logs it: one wording for both.
std::string LoginProblemText(LoginOutcome outcome, const std::string& host, int port,
                             const std::string& connectError);
