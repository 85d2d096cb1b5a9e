#pragma once
// The application object: starts the socket library, creates the box link,
// and runs the main window modally.
#include "framework/CWinApp.h"

class BoxSession;
class BoxSocket;

class VelqoApp : public CWinApp {
public:
    BOOL InitInstance() override;
    int ExitInstance() override;
};

// The box link, created once at start-up and kept for the whole run.
extern BoxSocket* g_pBoxSocket;
extern BoxSession* g_pBoxSession;
