#pragma once
// Resource ids of the icon button tests' own dialog and icon.
#define IDD_WIDGET_TEST 300
#define IDI_TEST_COLOR 201
#define IDC_LOGIN 3
#define IDC_DEFAULT 4
#define IDC_CHECK 5
#define IDC_EDIT 6
#define IDC_PLAIN 7
#define IDC_NO_CAPTION 8
#define IDC_OWNER_DRAWN 9
