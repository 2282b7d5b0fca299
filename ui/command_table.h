#pragma once
// Every command of the main window in one table, one row a command: its picture button, the
// key that gives it, its place in the notification-area menu and the handler that carries it
// out. The buttons, the menu, the keyboard accelerators and the main window's WM_COMMAND are
// all made from it, so that a new command is one new row.
#include <windows.h>

#include <span>

#include "platform/win32_handles.h"

class MainCommands;

struct CommandButton {
  int x = 0;  // in the skin, at 96 dpi
  int y = 0;
  int size = 0;  // 0: no button
  UINT normal = 0;
  UINT pressed = 0;
};

struct CommandKey {
  BYTE flags = 0;  // FVIRTKEY with FCONTROL, FALT, FSHIFT; 0: no key
  WORD key = 0;
  const wchar_t* text = L"";  // as the tooltip names it: "Ctrl+T"
};

struct CommandMenuItem {
  // Its place in the notification-area menu; 0: not there. A separator stands before a place
  // whose tens differ from the one above it.
  int place = 0;
  const wchar_t* text = nullptr;
  const wchar_t* textWhileHidden = nullptr;  // when the main window is hidden, if other
  bool tickedWhileAutomatic = false;         // ticked while Automatic Mode runs
};

struct CommandRow {
  UINT id;
  const wchar_t* name;  // the button's tooltip and what screen readers call it
  CommandButton button;
  CommandKey key;
  CommandMenuItem menu;
  void (MainCommands::*run)();
};

std::span<const CommandRow> commandTable();
// The row of `id`; null for an id that is no command.
const CommandRow* findCommand(UINT id);

// The keys of every row, for the message loop.
win32::UniqueAccelerators makeAccelerators();
