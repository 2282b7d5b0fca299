#pragma once
// The command line's command, carried out by the running Vemlix or by this start, and what is
// said about it on the console that started the program.
#include <windows.h>

#include "app/command_line.h"
#include "app/remote_protocol_win.h"

// Exit codes beyond the running Vemlix's own answers (kRemoteDone, kRemoteRefused,
// kRemoteNoSuchShot).
constexpr int kExitUsage = 0;
constexpr int kExitNotACommand = 2;
constexpr int kExitUnreachable = 4;

// The message to the running Vemlix for a command that needs one (not kNone, kUsage,
// kInvalid).
RemoteCommand remoteCommandFor(CommandKind kind);

// Hands `command` to the running Vemlix's `window` and waits for its answer; for /exit also
// for that Vemlix to end. Returns the exit code and says it on the console.
int sendToRunning(HWND window, const Command& command);

// Says on the console how `command` went, `code` being its exit code.
void reportOutcome(const Command& command, int code);

// "/?" and what is no command: the usage on the console, or for "/?" without one in a message
// box. Returns the exit code.
int showUsage(CommandKind kind);

// On the console that started the program, if any; nothing when there is none.
bool printToConsole(const std::wstring& text);
