#include "ui/tray_icon.h"

#include <algorithm>
#include <iterator>
#include <vector>

#include "scheduler/shot_scheduler_win.h"
#include "ui/command_table.h"
#include "ui/resource_ids.h"

namespace {

// At the end of the menu; a separator for no text.
void insertItem(HMENU menu, const wchar_t* text, UINT id, UINT state) {
  MENUITEMINFOW item{};
  item.cbSize = sizeof(item);
  item.fMask = MIIM_STATE | MIIM_ID | MIIM_TYPE;
  item.fType = text ? MFT_STRING : MFT_SEPARATOR;
  item.fState = state;
  item.wID = id;
  item.dwTypeData = const_cast<wchar_t*>(text);
  InsertMenuItemW(menu, static_cast<UINT>(GetMenuItemCount(menu)), TRUE, &item);
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
  const bool shown = IsWindowVisible(window);
  std::vector<const CommandRow*> rows;
  for (const CommandRow& row : commandTable()) {
    if (row.menu.place) rows.push_back(&row);
  }
  std::sort(rows.begin(), rows.end(),
            [](const CommandRow* a, const CommandRow* b) { return a->menu.place < b->menu.place; });
  int group = rows.empty() ? 0 : rows.front()->menu.place / 10;
  for (const CommandRow* row : rows) {
    const CommandMenuItem& item = row->menu;
    if (item.place / 10 != group) insertItem(menu.get(), nullptr, CMD_MENU_SEPARATOR, 0);
    group = item.place / 10;
    const wchar_t* text = !shown && item.textWhileHidden ? item.textWhileHidden : item.text;
    insertItem(menu.get(), text, row->id,
               item.tickedWhileAutomatic && running ? MFS_CHECKED : MFS_ENABLED);
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
