#include "ui/command_table.h"

#include <array>
#include <vector>

#include "ui/main_commands.h"
#include "ui/resource_ids.h"

namespace {

using M = MainCommands;
constexpr BYTE kKey = FVIRTKEY;
constexpr BYTE kCtrl = FVIRTKEY | FCONTROL;
constexpr BYTE kAlt = FVIRTKEY | FALT;

// In the order the buttons are made; positions in the skin at 96 dpi.
constexpr std::array kCommands{
    CommandRow{CMD_TAKE_SHOT,
               L"Take Shot",
               {10, 35, 24, IDB_TAKE_SHOT, IDB_TAKE_SHOT_PRESSED},
               {kCtrl, 'T', L"Ctrl+T"},
               {},
               &M::takeShot},
    CommandRow{CMD_NEW_SHOT,
               L"New Shot...",
               {35, 35, 24, IDB_NEW_SHOT, IDB_NEW_SHOT_PRESSED},
               {kCtrl, 'N', L"Ctrl+N"},
               {},
               &M::newShot},
    CommandRow{CMD_DELETE_SHOT,
               L"Delete Shot",
               {60, 35, 24, IDB_DELETE_SHOT, IDB_DELETE_SHOT_PRESSED},
               {kKey, VK_DELETE, L"Delete"},
               {},
               &M::deleteShot},
    CommandRow{CMD_EDIT_SHOT,
               L"Edit Shot...",
               {85, 35, 24, IDB_EDIT_SHOT, IDB_EDIT_SHOT_PRESSED},
               {kKey, VK_RETURN, L"Enter"},
               {},
               &M::editShot},
    CommandRow{CMD_AUTOMATIC_MODE,
               L"Start or stop Automatic Mode",
               {115, 35, 24, IDB_AUTOMATIC_STOPPED, IDB_AUTOMATIC_PRESSED},
               {},
               {40, L"&Automatic Mode", nullptr, true},
               &M::switchAutomaticMode},
    CommandRow{CMD_SETTINGS,
               L"Configure Vemlix...",
               {140, 35, 24, IDB_CONFIGURE, IDB_CONFIGURE_PRESSED},
               {},
               {51, L"&Settings..."},
               &M::openSettings},
    CommandRow{CMD_HELP,
               L"Help...",
               {341, 35, 24, IDB_HELP, IDB_HELP_PRESSED},
               {kKey, VK_F1, L"F1"},
               {30, L"&Help..."},
               &M::openHelp},
    CommandRow{CMD_ABOUT,
               L"About Vemlix...",
               {366, 35, 24, IDB_ABOUT, IDB_ABOUT_PRESSED},
               {},
               {10, L"Ab&out Vemlix..."},
               &M::openAbout},
    CommandRow{CMD_MINIMIZE,
               L"Minimize",
               {363, 5, 16, IDB_MINIMIZE, IDB_MINIMIZE_PRESSED},
               {kKey, VK_ESCAPE, L"Esc"},
               {},
               &M::minimize},
    CommandRow{CMD_EXIT,
               L"Exit",
               {380, 5, 16, IDB_EXIT, IDB_EXIT_PRESSED},
               {kAlt, VK_F4, L"Alt+F4"},
               {60, L"&Exit Vemlix"},
               &M::exitProgram},
    CommandRow{CMD_HOME_PAGE,
               L"Visit the Vemlix home page",
               {},
               {},
               {20, L"&Visit the Vemlix home page"},
               &M::openHomePage},
    CommandRow{CMD_OPEN_LOG, L"Open Log", {}, {}, {31, L"Open &Log"}, &M::openLog},
    CommandRow{CMD_SHOW_HIDE,
               L"Show or hide Vemlix",
               {},
               {},
               {50, L"&Hide Vemlix", L"S&how Vemlix"},
               &M::showOrHide},
    // The Exit of the menu bar older versions had; a program may still send it.
    CommandRow{IDM_EXIT_LEGACY, L"Exit", {}, {}, {}, &M::exitProgram},
};

}  // namespace

std::span<const CommandRow> commandTable() {
  return kCommands;
}

const CommandRow* findCommand(UINT id) {
  for (const CommandRow& row : kCommands) {
    if (row.id == id) return &row;
  }
  return nullptr;
}

win32::UniqueAccelerators makeAccelerators() {
  std::vector<ACCEL> keys;
  for (const CommandRow& row : kCommands) {
    if (row.key.flags) keys.push_back({row.key.flags, row.key.key, static_cast<WORD>(row.id)});
  }
  return win32::UniqueAccelerators(
      CreateAcceleratorTableW(keys.data(), static_cast<int>(keys.size())));
}
