#pragma once
// Resource ids of the framework tests' own templates.
#define IDD_TEST 100
#define IDM_TEST 101
#define IDB_SQUARE 103

#define IDC_NAME 1001
#define IDC_CODE 1002
#define IDC_NUMBER 1003
#define IDC_CONSUME 1004
#define IDC_PASS 1005
#define IDC_PLAIN 1006
#define IDC_OWNERDRAW 1007
#define IDC_READONLY 1008
#define IDC_COLORED 1009
#define IDC_BITMAP 1010

#define ID_FILE_OPEN 201
#define ID_FILE_EXIT 202
