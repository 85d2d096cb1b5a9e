#pragma once
// Resource and command ids of the icon menu tests.
#define IDR_TEST_MENU 400
#define IDR_TEST_TOOLBAR 401
#define IDB_STRIP24 402
#define IDR_MENU_NO_END 403
#define IDR_MENU_CUT_TEXT 404
#define IDR_MENU_CUT_POPUP 405
#define IDD_MENU_TEST 410
#define IDC_MENU_BUTTON 411
#define IDC_MENU_EDIT 412
#define IDI_MENU_DEMO 413

#define ID_OPEN 1001
#define ID_SAVE 1002
#define ID_REFRESH 1003
#define ID_DELETE 1004
#define ID_EXPORT_TEXT 1005
#define ID_EXPORT_LIST 1006
#define ID_ABOUT 1007
#define ID_NEW 1008
#define ID_NOT_ON_TOOLBAR 1009
