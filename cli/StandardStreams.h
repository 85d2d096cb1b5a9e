#pragma once
// The standard streams of velqo-cli: output that cannot be written (a closed
// stdout, a pipe whose reader has gone) is an error to end on with status 1,
// never a signal that kills the program or a file descriptor that a socket
// takes over.
#include <cstdio>

// Gives each of the three standard descriptors that the program was started
// without a stand-in on which writes fail, so that a socket opened later is
// never one of them and output meant for the terminal never reaches the box.
// Nothing on Windows, whose sockets are not descriptors.
void ReserveStandardStreams();

// Flushes stdout and stderr; a status of 0 becomes 1 when either could not be
// written (said on stderr when that still works). Returns the status to end with.
int FinishOutput(int status);
