#pragma once
// Resource and command numbers shared by the resource script and the code.

#define IDS_APP_TITLE 40000
#define IDS_WINDOW_CLASS 109
#define IDI_VEMLIX 107
#define IDI_SMALL 108
#define IDC_VEMLIX 109  // accelerator table and menu
#define IDM_ABOUT_ACCEL 104
#define IDM_EXIT_LEGACY 105
#define IDB_SKIN 2

#define CMD_TAKE_SHOT 170
#define CMD_NEW_SHOT 171
#define CMD_DELETE_SHOT 172
#define CMD_EDIT_SHOT 173
#define CMD_AUTOMATIC_MODE 174
#define CMD_SETTINGS 175
#define CMD_MINIMIZE 176
#define CMD_EXIT 177
#define CMD_SHOW_HIDE 178
#define CMD_ABOUT 180
#define CMD_HELP 181
#define CMD_HOME_PAGE 182
