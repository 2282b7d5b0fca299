#include "ui/schedule_storage_dialog.h"

#include <commctrl.h>

#include <cwchar>

#include "scheduler/active_hours.h"
#include "settings/number_text.h"
#include "ui/base_dialog.h"
#include "ui/dialog_ids.h"

namespace {

constexpr int kDays = IDC_SUNDAY - IDC_MONDAY + 1;

// A field for a count where 0 means "no limit": shown empty then, so that it reads as none.
std::wstring limitText(int32_t value) {
  return value == 0 ? std::wstring() : decimalText(value);
}

class ScheduleStorageDialog final : public BaseDialog {
 public:
  explicit ScheduleStorageDialog(ShotDefinition& shot) : shot_(shot) {}

  bool run(HWND owner) { return runModal(owner, IDD_SCHEDULE_STORAGE); }

 private:
  void onInitDialog() override {
    setItemText(IDC_KEEP_DAYS, limitText(shot_.KEEP_DAYS));
    setItemText(IDC_KEEP_COUNT, limitText(shot_.KEEP_COUNT));
    setChecked(IDC_SKIP_UNCHANGED, shot_.SKIP_UNCHANGED);
    showHours();
    showDays();
  }

  // A stored range that is no range (a hand-edited file) shows as all day, the office hours
  // offered in the pickers; Save then stores all day unless the box is ticked.
  void showHours() const {
    for (int id : {IDC_HOURS_FROM, IDC_HOURS_TO})
      SendDlgItemMessageW(dialog_, id, DTM_SETFORMATW, 0, reinterpret_cast<LPARAM>(L"HH:mm"));
    const auto range = parseActiveHours(shot_.ACTIVE_HOURS);
    const ActiveHourRange shown = range.value_or(ActiveHourRange{8 * 60, 18 * 60});
    setTime(IDC_HOURS_FROM, shown.start);
    setTime(IDC_HOURS_TO, shown.end);
    setChecked(IDC_ACTIVE_HOURS, range.has_value());
    enableHours();
  }

  // Empty, or anything but seven flags, is every day.
  void showDays() const {
    const std::wstring& days = shot_.ACTIVE_DAYS;
    const bool everyDay = days.size() != kDays;
    for (int day = 0; day < kDays; ++day)
      setChecked(IDC_MONDAY + day, everyDay || days[static_cast<size_t>(day)] == L'1');
  }

  INT_PTR onCommand(int id) override {
    switch (id) {
      case IDC_ACTIVE_HOURS:
        enableHours();
        return TRUE;
    }
    return FALSE;
  }

  void enableHours() const {
    const bool limited = isChecked(IDC_ACTIVE_HOURS);
    enableItem(IDC_HOURS_FROM, limited);
    enableItem(IDC_HOURS_TO, limited);
  }

  void setTime(int id, int minuteOfDay) const {
    SYSTEMTIME value{};
    GetLocalTime(&value);  // a valid date for the control; only the time is shown
    value.wHour = static_cast<WORD>(minuteOfDay / 60);
    value.wMinute = static_cast<WORD>(minuteOfDay % 60);
    value.wSecond = 0;
    value.wMilliseconds = 0;
    SendDlgItemMessageW(dialog_, id, DTM_SETSYSTEMTIME, GDT_VALID,
                        reinterpret_cast<LPARAM>(&value));
  }

  int minuteOfDay(int id) const {
    SYSTEMTIME value{};
    SendDlgItemMessageW(dialog_, id, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&value));
    return value.wHour * 60 + value.wMinute;
  }

  std::wstring typedDays() const {
    std::wstring days;
    for (int day = 0; day < kDays; ++day) days += isChecked(IDC_MONDAY + day) ? L'1' : L'0';
    return days;
  }

  bool onSave() override {
    std::wstring hours;
    if (isChecked(IDC_ACTIVE_HOURS)) {
      const ActiveHourRange range{minuteOfDay(IDC_HOURS_FROM), minuteOfDay(IDC_HOURS_TO)};
      // Equal ends could mean all day or no time at all; the user says which.
      if (range.start == range.end) {
        return refuse(IDC_HOURS_TO,
                      L"The hours begin and end at the same time.\n\nChoose a later or earlier "
                      L"end, or clear \"Only between\" to take pictures all day.");
      }
      hours = activeHoursText(range);
    }
    std::wstring days = typedDays();
    if (days.find(L'1') == std::wstring::npos) {
      return refuse(IDC_MONDAY,
                    L"No day is ticked, so Automatic Mode would never take this shot.\n\n"
                    L"Tick at least one day.");
    }
    if (days.find(L'0') == std::wstring::npos) days.clear();

    shot_.KEEP_DAYS = parseDecimal(itemText(IDC_KEEP_DAYS));
    shot_.KEEP_COUNT = parseDecimal(itemText(IDC_KEEP_COUNT));
    shot_.SKIP_UNCHANGED = isChecked(IDC_SKIP_UNCHANGED);
    shot_.ACTIVE_HOURS = std::move(hours);
    shot_.ACTIVE_DAYS = std::move(days);
    return true;
  }

  ShotDefinition& shot_;
};

}  // namespace

bool runScheduleStorageDialog(HWND owner, ShotDefinition& shot) {
  // The time pickers' class; the program registers its other common controls at start, but
  // this dialog may open before (or, in a test, without) that.
  INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_DATE_CLASSES};
  InitCommonControlsEx(&controls);
  return editCopy(
      shot, [owner](ShotDefinition& edited) { return ScheduleStorageDialog(edited).run(owner); });
}
