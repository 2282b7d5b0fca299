#include "ui/tray_icon.h"

#include <algorithm>
#include <iterator>

#include "scheduler/shot_scheduler_win.h"
#include "ui/resource_ids.h"

namespace {

struct MenuEntry {
  const wchar_t* text;  // null for a separator
  UINT id;
};

void insertItem(HMENU menu, UINT position, const wchar_t* text, UINT id, UINT state) {
  MENUITEMINFOW item{};
  item.cbSize = sizeof(item);
  item.fMask = MIIM_STATE | MIIM_ID | MIIM_TYPE;
  item.fType = text ? MFT_STRING : MFT_SEPARATOR;
  item.fState = state;
  item.wID = id;
  item.dwTypeData = const_cast<wchar_t*>(text);
  InsertMenuItemW(menu, position, TRUE, &item);
}

}  // namespace

TrayIcon::~TrayIcon() {
  if (added_) removeIcon();
}

UINT TrayIcon::taskbarCreatedMessage() {
  static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
  return message;
}

NOTIFYICONDATAW TrayIcon::record() const {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof(data);
  data.hWnd = window_;
  data.uID = iconId_;
  data.uFlags = NIF_MESSAGE | NIF_ICON;
  data.uCallbackMessage = WM_TRAYICON;
  data.hIcon = icon_;
  // No tip until there is something to say: before the first firing there is nothing to report.
  if (!tip_.empty()) {
    data.uFlags |= NIF_TIP;
    tip_.copy(data.szTip, std::min(tip_.size(), std::size(data.szTip) - 1));
  }
  return data;
}

void TrayIcon::addIcon(HWND window, HINSTANCE module, UINT iconId) {
  if (!added_) {
    window_ = window;
    module_ = module;
    iconId_ = iconId;
    icon_ = LoadIconW(module, MAKEINTRESOURCEW(iconId));
    added_ = true;
  }
  NOTIFYICONDATAW data = record();
  Shell_NotifyIconW(NIM_ADD, &data);
}

void TrayIcon::showStatus(const std::wstring& tip, bool warning) {
  tip_ = tip;
  warning_ = warning;
  icon_ = LoadIconW(module_, MAKEINTRESOURCEW(warning ? IDI_SMALL_WARNING : iconId_));
  if (!added_) return;
  NOTIFYICONDATAW data = record();
  Shell_NotifyIconW(NIM_MODIFY, &data);
}

void TrayIcon::removeIcon() {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof(data);
  data.hWnd = window_;
  data.uID = iconId_;
  Shell_NotifyIconW(NIM_DELETE, &data);
}

win32::UniqueMenu TrayIcon::buildMenu(HWND window) {
  win32::UniqueMenu menu(CreatePopupMenu());
  const bool running = ShotScheduler::instance().isRunning();
  const MenuEntry entries[] = {
      {L"Ab&out Vemlix...", CMD_ABOUT},
      {nullptr, CMD_MENU_SEPARATOR},
      {L"&Visit the Vemlix home page", CMD_HOME_PAGE},
      {nullptr, CMD_MENU_SEPARATOR},
      {L"&Help...", CMD_HELP},
      {L"Open &Log", CMD_OPEN_LOG},
      {nullptr, CMD_MENU_SEPARATOR},
      {L"&Automatic Mode", CMD_AUTOMATIC_MODE},
      {nullptr, CMD_MENU_SEPARATOR},
      {IsWindowVisible(window) ? L"&Hide Vemlix" : L"S&how Vemlix", CMD_SHOW_HIDE},
      {L"&Settings...", CMD_SETTINGS},
      {nullptr, CMD_MENU_SEPARATOR},
      {L"&Exit Vemlix", CMD_EXIT},
  };
  UINT position = 0;
  for (const MenuEntry& entry : entries) {
    const bool checked = entry.id == CMD_AUTOMATIC_MODE && running;
    insertItem(menu.get(), position++, entry.text, entry.id, checked ? MFS_CHECKED : MFS_ENABLED);
  }
  return menu;
}

void TrayIcon::showMenu(HWND window) const {
  const win32::UniqueMenu menu = buildMenu(window);
  POINT cursor{};
  GetCursorPos(&cursor);
  // Without this the menu would not close when the user clicks elsewhere.
  SetForegroundWindow(window);
  TrackPopupMenu(menu.get(), 0, cursor.x, cursor.y, 0, window, nullptr);
  // Lets the menu open properly the next time.
  PostMessageW(window, WM_NULL, 0, 0);
}
