#pragma once
// How a transfer's outcome is told to a person, the same in every front.
#include <string>

#include "box/BoxSession.h"

// Why a download or upload did not happen, without the file's name; empty
// for kDone.
std::string TransferFailureText(TransferOutcome outcome, bool download);
// Why nothing more can be tried after `outcome` left the session without a
// link: "the link to the box was lost", or what ended the session.
std::string SessionEndText(TransferOutcome outcome);
