#pragma once
// The About box of the system menu: the program's name, version and notice.
#include "framework/CDialog.h"

class AboutDialog : public CDialog {
public:
    AboutDialog();
};
