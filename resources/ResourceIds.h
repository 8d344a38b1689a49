// Numbers of the program's resources: dialog templates, their controls,
// icons, bitmaps and strings.  Shared by the resource script and the code.
#ifndef VARLIN_RESOURCE_IDS_H
#define VARLIN_RESOURCE_IDS_H

// Dialog templates.
#define IDD_ABOUT 100
#define IDD_START_PAGE 102
#define IDD_PICTURE_PAGE 131
#define IDD_ACCEPT_PAGE 132
#define IDD_ADVANCED_MODE 139
#define IDD_WARNING 140
#define IDD_PREVIEW 141
#define IDD_BACKUP_BIOS 149
#define IDD_ADVANCED_PAGE 152
#define IDD_FINISHED 154
#define IDD_UPDATE_BIOS 155

// Icons and bitmaps.
#define IDI_PROGRAM 128
#define IDI_WARNING_SIGN 165  // not IDI_WARNING: the system headers use that name
#define IDB_ADVANCED_MODE 129
#define IDB_SIDE_BANNER 131
#define IDB_START_TITLE 133
#define IDB_PICTURE_TITLE 134
#define IDB_ACCEPT_TITLE 136
#define IDB_WARNING_TITLE 151
#define IDB_ADVANCED_TITLE 152

// Strings.
#define IDS_ABOUT_ITEM 101

// Controls of the wizard pages.
#define IDC_PAGE_ADVANCED 1000  // start page "Advanced >>"
#define IDC_PAGE_BROWSE 1000    // picture page "Browse"
#define IDC_PAGE_NEXT 1001      // "Next >>", and "Super >>" on the Advanced page
#define IDC_PAGE_EXIT 1003      // "Exit" or "Cancel"
#define IDC_PAGE_UPDATE 1004    // Advanced page "Update BIOS"
#define IDC_PAGE_BACK 1005      // "<< Back"
#define IDC_PAGE_BACKUP 4       // Advanced page "Backup  BIOS"
#define IDC_PICTURE_PATH 1034

// Controls of the Advanced Mode dialog.
#define IDC_BROWSE_BIOS 1000
#define IDC_BROWSE_PICTURE 1001
#define IDC_SHOW_POST_MESSAGE 1017
#define IDC_RESOLUTION_640 1018
#define IDC_RESOLUTION_800 1019
#define IDC_POSITION_CENTER 1020
#define IDC_POSITION_BOTTOM_RIGHT 1021
#define IDC_POSITION_BOTTOM_LEFT 1022
#define IDC_POSITION_TOP_RIGHT 1023
#define IDC_POSITION_TOP_LEFT 1024
#define IDC_BIOS_PATH 1025
#define IDC_PICTURE_FILE 1026
#define IDC_PREVIEW 1027
#define IDC_BUILD 1028
#define IDC_FLASH 1029
#define IDC_MODE_BACK 3

// Controls of the Backup BIOS and Update BIOS dialogs.
#define IDC_UPDATE_START 1000
#define IDC_UPDATE_PROGRESS 1041
#define IDC_UPDATE_PERCENT 1042
#define IDC_STEP_TEXT 1043
#define IDC_UPDATE_PERCENT_SIGN 1044
#define IDC_BACKUP_START 1045
#define IDC_BACKUP_PROGRESS 1046
#define IDC_BACKUP_PERCENT 1047
#define IDC_BACKUP_PERCENT_SIGN 1048
#define IDC_PRESS_TO_BEGIN 1049
#define IDC_UPDATE_ICON 1050
#define IDC_PLEASE_WAIT 1051

#endif
