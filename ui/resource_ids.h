#pragma once
// Resource and command numbers shared by the resource script and the code. (Plain #defines:
// the resource compiler reads this file too.)

#define IDS_APP_TITLE 40000
#define IDS_WINDOW_CLASS 109
#define IDI_VEMLIX 107
#define IDI_SMALL 108
#define IDI_SMALL_WARNING 112
#define IDC_VEMLIX 109  // accelerator table and menu
#define IDM_ABOUT_ACCEL 104
#define IDM_EXIT_LEGACY 105

// Bitmaps drawn for 100 %; the same id + 1000 is drawn for 150 %, + 2000 for 200 %.
#define IDB_SKIN 2
#define IDB_CONFIGURE_PRESSED 130
#define IDB_CONFIGURE 131
#define IDB_DELETE_SHOT_PRESSED 132
#define IDB_DELETE_SHOT 133
#define IDB_EDIT_SHOT_PRESSED 134
#define IDB_EDIT_SHOT 135
#define IDB_MINIMIZE_PRESSED 136
#define IDB_MINIMIZE 137
#define IDB_NEW_SHOT_PRESSED 138
#define IDB_NEW_SHOT 139
#define IDB_TAKE_SHOT_PRESSED 140
#define IDB_TAKE_SHOT 141
#define IDB_AUTOMATIC_PRESSED 142
#define IDB_AUTOMATIC_STOPPED 143
#define IDB_EXIT_PRESSED 144
#define IDB_EXIT 145
#define IDB_AUTOMATIC_RUNNING 179
#define IDB_ABOUT_LOGO 181
#define IDB_ABOUT_PRESSED 184
#define IDB_ABOUT 186
#define IDB_HELP 188
#define IDB_HELP_PRESSED 190
#define IDB_REGION_SAVE 196
#define IDB_REGION_SAVE_PRESSED 198
#define IDB_REGION_CANCEL 200
#define IDB_REGION_CANCEL_PRESSED 202
#define IDB_REGION_FULL_SCREEN 204
#define IDB_REGION_FULL_SCREEN_PRESSED 206
#define IDB_REGION_RESTORE 208
#define IDB_REGION_RESTORE_PRESSED 210

// The shot list: a child dialog holding one list view.
#define IDD_SHOT_LIST 148
#define IDC_SHOT_LIST 154

#define CMD_TAKE_SHOT 170
#define CMD_NEW_SHOT 171
#define CMD_DELETE_SHOT 172
#define CMD_EDIT_SHOT 173
#define CMD_AUTOMATIC_MODE 174
#define CMD_SETTINGS 175
#define CMD_MINIMIZE 176
#define CMD_EXIT 177
#define CMD_SHOW_HIDE 178
#define CMD_MENU_SEPARATOR 179
#define CMD_ABOUT 180
#define CMD_HELP 181
#define CMD_HOME_PAGE 182
#define CMD_OPEN_LOG 183

// The notification-area icon's messages to the main window.
#define WM_TRAYICON 100
