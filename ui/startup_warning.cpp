#include "ui/startup_warning.h"

#include "settings/app_settings.h"
#include "shots/shot_store.h"

namespace {

const wchar_t* unreadableReasonText(platform::UnreadableReason reason) {
  return reason == platform::UnreadableReason::kNotUnderstood
             ? L"it holds text, but nothing Vemlix recognises: it may have been saved by another "
               L"program"
             : L"another program may be using it, or you may not be allowed to open it";
}

}  // namespace

std::wstring unreadableFilesMessage(const AppSettings& settings, const ShotStore& store) {
  const std::wstring settingsFile = settings.unreadableFile();
  const std::wstring shotsFile = store.unreadableFile();
  if (settingsFile.empty() && shotsFile.empty()) return {};
  const bool both = !settingsFile.empty() && !shotsFile.empty();
  const wchar_t* them = both ? L"them" : L"it";
  std::wstring text =
      both ? L"Vemlix could not read these files:\n\n" : L"Vemlix could not read this file:\n\n";
  if (!settingsFile.empty()) {
    text += settingsFile + L"\n(" + unreadableReasonText(settings.unreadableReason()) + L")\n";
  }
  if (!shotsFile.empty()) {
    text += shotsFile + L"\n(" + unreadableReasonText(store.unreadableReason()) + L")\n";
  }
  text += L"\nVemlix leaves ";
  text += them;
  text += L" untouched until you start it again, so nothing in ";
  text += them;
  text += L" is lost.\n\nUntil then Vemlix runs ";
  if (!settingsFile.empty()) text += L"with its default settings";
  if (both) text += L" and ";
  if (!shotsFile.empty()) text += L"without your saved shots";
  text += L", and changes you make now are not saved.";
  return text;
}
