// Resource ids of VELQO_LAN_MM, shared by the resource script and the program.
// Kept free of C++ so that the resource compiler can read it too.
#ifndef VELQO_RESOURCES_RESOURCE_H
#define VELQO_RESOURCES_RESOURCE_H

// Dialog templates and strings.
#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_MAIN 102
#define IDS_BACKUPS 103
#define IDD_BACKUPS 104
#define IDD_FILE_DIFF 105
#define IDS_FIND_BOXES 106
#define IDD_FIND_BOXES 107
#define IDD_UPDATE_FIRMWARE 108
#define IDD_FORMAT_HELP 173

// System-menu commands of the About, Find boxes and Backups items (the low four bits are
// the system's).
#define IDM_ABOUTBOX 0x0010
#define IDM_BACKUPS 0x0020
#define IDM_FIND_BOXES 0x0030

// Icons: the application's own and those of the buttons.
#define IDR_MAINFRAME 128
#define IDI_UPLOAD 154
#define IDI_DOWNLOAD 159
#define IDI_SAVE 161
#define IDI_FORMAT_HELP 162
#define IDI_CLEAR 163
#define IDI_EXIT 172
#define IDI_LOGIN 174
#define IDI_LOGOUT 175

// Tree images (20 x 20, 16 colours, white as mask).
#define IDB_TREE_BINARY 141
#define IDB_TREE_TEXT 142
#define IDB_TREE_GROUP 143

// Status pictures (169 x 42 PNG, resource type "PNG"): 169 logged in,
// 170 no network, 171 network but no login.
#define IDR_STATUS_LOGGED_IN 169
#define IDR_STATUS_NO_NETWORK 170
#define IDR_STATUS_NETWORK 171

// Controls of the main window (IDD_MAIN).
#define IDC_LOGIN 3
#define IDC_PROGRESS 1003
#define IDC_LOG 1004
#define IDC_DOWNLOAD 1005
#define IDC_UPLOAD 1008
#define IDC_PASSWORD 1010
#define IDC_TEXT 1011
#define IDC_BOX_IP 1012
#define IDC_TREE_LOCAL 1022
#define IDC_TREE_BOX 1023
#define IDC_SAVE 1029
#define IDC_FORMAT_HELP 1030
#define IDC_CLEAR 1031
#define IDC_STATUS 1032
#define IDC_SEL_FILE 1033

// Control of the format help window (IDD_FORMAT_HELP).
#define IDC_HELP_TEXT 1034

// Controls of the backups dialog (IDD_BACKUPS), none of them the main
// window's; its Close button is IDCANCEL.
#define IDC_BACKUP_LIST_LABEL 1040
#define IDC_BACKUP_LIST 1041
#define IDC_BACKUP_NOW 1042
#define IDC_BACKUP_FILES_LABEL 1043
#define IDC_BACKUP_FILES 1044
#define IDC_BACKUP_COMPARE 1045
#define IDC_BACKUP_RESTORE 1046
#define IDC_BACKUP_PROGRESS 1047
#define IDC_BACKUP_STATUS 1048
#define IDC_BACKUP_DIFF 1049
#define IDC_BACKUP_UPDATE 1051

// Control of the diff window (IDD_FILE_DIFF); its Close button is IDCANCEL.
#define IDC_DIFF_LINES 1050

// Controls of the find boxes dialog (IDD_FIND_BOXES); OK puts the selected
// address into BOX IP, IDCANCEL is Cancel or Close.
#define IDC_FIND_RANGE 1060
#define IDC_FIND_SEARCH 1061
#define IDC_FIND_RANGES 1062
#define IDC_FIND_LOGIN 1063
#define IDC_FIND_LIST 1064
#define IDC_FIND_PROGRESS 1065
#define IDC_FIND_LOGIN_LINE 1066

// Controls of the firmware update's choices (IDD_UPDATE_FIRMWARE), opened
// from the backups dialog; OK is Update, IDCANCEL Cancel.
#define IDC_UPDATE_FILE 1070
#define IDC_UPDATE_BROWSE 1071
#define IDC_UPDATE_GROUPS 1072

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

#endif  // VELQO_RESOURCES_RESOURCE_H
