#pragma once
// The box's address as the user typed it (settings file, command line, the
// window's field): a dotted IPv4 address or a host name, checked before any
// connection. Resolvers read "127.0.0.010" as 127.0.0.8, "127.1" as 127.0.0.1
// and "0x7f.0.0.1" as hex, so the password would go to another host than
// the one shown; every numeric-looking text must therefore be an address
// exactly as inet_pton reads it (four decimal parts 0 to 255, no leading
// zeros), or it is refused. Nothing here resolves a name.
#include <cstdint>
#include <string>

class HostAddress {
public:
    // Blanks around the text are not part of it (a settings line may carry them).
    explicit HostAddress(const std::string& typed);

    // A usable address or host name.
    bool IsValid() const { return problem_.empty(); }
    // Four decimal parts: connect to IPv4NetOrder() without any resolver.
    bool IsIPv4() const { return ipv4_; }
    uint32_t IPv4NetOrder() const { return addressNetOrder_; }
    // The text to connect to: the typed one without its surrounding blanks.
    const std::string& Text() const { return text_; }
    // Empty when valid; otherwise what is wrong, naming the typed value and
    // what is expected, e.g. "'127.1' is not an IPv4 address: ...". Callers
    // put where the value came from in front ("--host ", "BOXIP ").
    const std::string& Problem() const { return problem_; }
    // The same for a place that takes only an IPv4 address (a listening
    // address): empty only when IsIPv4().
    std::string IPv4Problem() const;

private:
    std::string typed_;
    std::string text_;
    std::string problem_;
    bool ipv4_ = false;
    uint32_t addressNetOrder_ = 0;
};
