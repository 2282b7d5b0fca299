#include "app/remote_command_win.h"

#include <string>

#include "platform/text_codec.h"
#include "platform/win32_handles.h"

namespace {

// A running Vemlix answers at once; one that does not within this is hung.
constexpr UINT kAnswerTimeoutMs = 10000;
// How long /exit waits for the running Vemlix to be gone.
constexpr DWORD kExitWaitMs = 10000;

bool attachedToConsole() {
  static const bool attached = AttachConsole(ATTACH_PARENT_PROCESS) != 0;
  return attached;
}

bool isConsole(HANDLE handle) {
  DWORD mode = 0;
  return GetConsoleMode(handle, &mode) != 0;
}

std::wstring quoted(const std::wstring& name) {
  return L"\"" + name + L"\"";
}

std::wstring outcomeText(const Command& command, int code) {
  if (code == kExitUnreachable) return L"The running Vemlix did not answer.";
  switch (command.kind) {
    case CommandKind::kTake:
      return code == kRemoteNoSuchShot ? L"No shot is named " + quoted(command.name) + L"."
                                       : L"Taking the shot " + quoted(command.name) + L".";
    case CommandKind::kAutoOn:
      return L"Automatic Mode is on.";
    case CommandKind::kAutoOff:
      return L"Automatic Mode is off.";
    case CommandKind::kShow:
      return L"The Vemlix window is shown.";
    case CommandKind::kHide:
      return L"The Vemlix window is hidden.";
    case CommandKind::kExit:
      return L"Vemlix has ended.";
    default:
      return {};
  }
}

void waitForEnd(HWND window) {
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  const win32::UniqueHandle process(OpenProcess(SYNCHRONIZE, FALSE, processId));
  if (process) WaitForSingleObject(process.get(), kExitWaitMs);
}

}  // namespace

bool printToConsole(const std::wstring& text) {
  const std::wstring line = text + L"\r\n";
  // Redirected to a file or a pipe by the caller: UTF-8 there.
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  if (out && out != INVALID_HANDLE_VALUE && !isConsole(out) && GetFileType(out) != 0) {
    const std::string bytes = encodeUtf8(line, false);
    DWORD written = 0;
    return WriteFile(out, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  }
  if (!attachedToConsole()) return false;
  const win32::UniqueFileHandle console(CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                    OPEN_EXISTING, 0, nullptr));
  if (!console) return false;
  DWORD written = 0;
  return WriteConsoleW(console.get(), line.data(), static_cast<DWORD>(line.size()), &written,
                       nullptr);
}

RemoteCommand remoteCommandFor(CommandKind kind) {
  switch (kind) {
    case CommandKind::kTake:
      return RemoteCommand::kTake;
    case CommandKind::kAutoOn:
      return RemoteCommand::kAutoOn;
    case CommandKind::kAutoOff:
      return RemoteCommand::kAutoOff;
    case CommandKind::kShow:
      return RemoteCommand::kShow;
    case CommandKind::kHide:
      return RemoteCommand::kHide;
    default:
      return RemoteCommand::kExit;
  }
}

int sendToRunning(HWND window, const Command& command) {
  int code = kExitUnreachable;
  COPYDATASTRUCT data{};
  data.dwData = static_cast<ULONG_PTR>(remoteCommandFor(command.kind));
  data.cbData = static_cast<DWORD>(command.name.size() * sizeof(wchar_t));
  data.lpData = const_cast<wchar_t*>(command.name.data());
  DWORD_PTR answer = 0;
  if (window && SendMessageTimeoutW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                                    SMTO_ABORTIFHUNG | SMTO_BLOCK, kAnswerTimeoutMs, &answer)) {
    code = static_cast<int>(answer);
  }
  if (code == kRemoteDone && command.kind == CommandKind::kExit) waitForEnd(window);
  reportOutcome(command, code);
  return code;
}

void reportOutcome(const Command& command, int code) {
  const std::wstring text = outcomeText(command, code);
  if (!text.empty()) printToConsole(text);
}

int showUsage(CommandKind kind) {
  const bool asked = kind == CommandKind::kUsage;
  const std::wstring usage = commandLineUsage();
  if (!printToConsole(asked ? usage : L"Not a Vemlix command.\r\n\r\n" + usage) && asked) {
    MessageBoxW(nullptr, usage.c_str(), L"Vemlix", MB_OK | MB_ICONINFORMATION);
  }
  return asked ? kExitUsage : kExitNotACommand;
}
