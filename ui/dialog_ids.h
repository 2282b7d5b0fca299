#pragma once
// Template and control numbers of the dialogs, shared by dialogs.rc and the code.

#define IDD_SHOT_SETTINGS 150
#define IDD_FTP_SETTINGS 151
#define IDD_DEFAULT_SHOT_SETTINGS 152
#define IDD_SETTINGS 153
#define IDD_SCHEDULE_STORAGE 154
#define IDD_ABOUT 182

// The About picture; the bitmap itself lives in vemlix.rc with the program's artwork.
#define IDB_ABOUT_PICTURE 181

// Shot Settings (150); the Default Shot Settings dialog (152) reuses the ids of the fields it
// shares with it.
#define IDC_AUTO_MODE 155
#define IDC_SHOT_NAME 156
#define IDC_INTERVAL 157
#define IDC_USE_DEFAULTS 158
#define IDC_LABELS 160
#define IDC_FORMAT 163
#define IDC_SAVE_LOCAL 164
#define IDC_SAVE_FTP 165
#define IDC_LOCAL_PATH 166
#define IDC_BROWSE 167
#define IDC_FTP_PATH 168
#define IDC_FTP_SERVER_SETTINGS 169
#define IDC_SCHEDULE_STORAGE 1010

// Ftp Settings (151).
#define IDC_FTP_SERVER 171
#define IDC_FTP_USER 172
#define IDC_FTP_PASSWORD 174
#define IDC_FTP_SERVER_HINT 1030  // the address forms under the server field
#define IDC_FTP_TEST 1031         // Test, and Cancel test while one runs
#define IDC_FTP_TEST_RESULT 1032  // what the last test found

// Settings (153).
#define IDC_LAUNCH_ON_STARTUP 173
#define IDC_CHECK_UPDATES 176
#define IDC_DISABLE_IDLE 177
#define IDC_IDLE_SECONDS 178
#define IDC_DEFAULT_SHOT_SETTINGS 158
#define IDC_START_ON_TRAY 1000
#define IDC_MIN_FREE_MB 1002

// Schedule and Storage (154). The seven day boxes are numbered Monday first, one after another.
#define IDC_KEEP_DAYS 1101
#define IDC_KEEP_COUNT 1102
#define IDC_SKIP_UNCHANGED 1103
#define IDC_ACTIVE_HOURS 1104
#define IDC_HOURS_FROM 1105
#define IDC_HOURS_TO 1106
#define IDC_MONDAY 1110
#define IDC_SUNDAY 1116

// About (182).
#define IDC_ABOUT_PICTURE 1000
#define IDC_ABOUT_VERSION 1001
