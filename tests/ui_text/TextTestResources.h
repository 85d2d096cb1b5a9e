#pragma once
// Resource ids of the text panel tests' own dialog.
#define IDD_TEXT_TEST 100
#define IDC_PANEL 1011
#define IDC_CONSOLE 1004
#define IDC_HELP_TEXT 1034
