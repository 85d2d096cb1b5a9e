#pragma once
// One velqo-cli command as CliClient runs it. CliClient takes every command
// the same way: it chooses what the command's row says it reaches, calls
// Check, then Run; the command decides nothing about connecting.
#include <vector>

#include "box/WireFormat.h"

class BoxSession;
class FileCatalog;

// How far a command reaches; each step includes the ones before it.
enum class CliReach {
    kStore,    // files and the backup store: no address is chosen
    kAddress,  // the box's address and port, which name it in the store; no connection
    kBox,      // connect, log in and read the box's file list
};

// The box as the command finds it, logged in and listed.
struct CliBoxLink {
    BoxSession& session;
    const std::vector<wire::ListRecord>& listed;  // the box's list, in its order
    const FileCatalog& catalog;                   // the same, by group
};

class CliCommand {
public:
    CliCommand() = default;
    CliCommand(const CliCommand&) = delete;
    CliCommand& operator=(const CliCommand&) = delete;
    virtual ~CliCommand() = default;

    // What can go wrong without the box, once what the row reaches for is
    // chosen: the exit status, 0 to go on.
    virtual int Check() { return 0; }
    // `box`: null unless the row reaches CliReach::kBox. The exit status.
    virtual int Run(const CliBoxLink* box) = 0;
};
