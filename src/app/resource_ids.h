// Identifiers of the plug-in's resources.
#pragma once

#define IDS_OLE_INIT_FAILED 100
#define IDD_ABOUTBOX 100
#define IDR_MAINFRAME 128
#define IDS_APP_TITLE 0xE000

#define ID_FILE_NEW 0xE100
#define ID_FILE_OPEN 0xE101
#define ID_FILE_SAVE 0xE103
#define ID_FILE_SAVE_AS 0xE104
#define ID_FILE_MRU_FILE1 0xE110
#define ID_APP_EXIT 0xE141
#define ID_APP_ABOUT 0xE140
#define ID_EDIT_UNDO 0xE12B
#define ID_EDIT_CUT 0xE123
#define ID_EDIT_COPY 0xE122
#define ID_EDIT_PASTE 0xE125
#define IDC_ABOUT_ICON 1000
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
