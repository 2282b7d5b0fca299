// Schedule and Storage: the shot's hours, days and limits, kept only through Shot Settings.
#include "support/dialog_script_win.h"

namespace {

TEST_F(ScheduleStorageDialogTest, ShowsTheShotsValuesSavesTheFormsAndRefusesEmptyRanges) {
  ShotDefinition shot = editedShot();
  shot.KEEP_DAYS = 30;
  shot.SKIP_UNCHANGED = true;
  shot.ACTIVE_HOURS = L"22:00-06:30";
  shot.ACTIVE_DAYS = L"1111100";
  const ShotDefinition before = shot;
  {
    DialogScript cancel([](DialogScript& s) {
      HWND d = s.waitForDialog(L"Schedule and Storage");
      ASSERT_NE(d, nullptr);
      EXPECT_EQ(text(d, IDC_KEEP_DAYS), L"30");
      EXPECT_EQ(text(d, IDC_KEEP_COUNT), L"");
      EXPECT_TRUE(IsDlgButtonChecked(d, IDC_SKIP_UNCHANGED));
      EXPECT_TRUE(IsDlgButtonChecked(d, IDC_ACTIVE_HOURS));
      EXPECT_EQ(pickedTime(d, IDC_HOURS_FROM), L"22:00");
      EXPECT_EQ(pickedTime(d, IDC_HOURS_TO), L"06:30");
      EXPECT_EQ(tickedDays(d), L"1111100");
      s.type(d, IDC_KEEP_DAYS, L"7");
      s.click(d, IDC_SKIP_UNCHANGED);
      s.press(d, IDCANCEL);
      EXPECT_TRUE(s.waitClosed(d));
    });
    EXPECT_FALSE(runScheduleStorageDialog(nullptr, shot));
  }
  EXPECT_EQ(shot, before);
  {
    DialogScript save([](DialogScript& s) {
      HWND d = s.waitForDialog(L"Schedule and Storage");
      ASSERT_NE(d, nullptr);
      pickTime(d, IDC_HOURS_TO, 22, 0);
      expectRefusedSave(s, d);
      pickTime(d, IDC_HOURS_TO, 7, 15);
      s.type(d, IDC_KEEP_COUNT, L"500");
      s.click(d, IDC_MONDAY + 5);
      s.click(d, IDC_SUNDAY);
      s.press(d, IDOK);
      EXPECT_TRUE(s.waitClosed(d));
    });
    EXPECT_TRUE(runScheduleStorageDialog(nullptr, shot));
  }
  ShotDefinition expected = before;
  expected.KEEP_COUNT = 500;
  expected.ACTIVE_HOURS = L"22:00-07:15";
  expected.ACTIVE_DAYS = L"";
  EXPECT_EQ(shot, expected);

  DialogScript clear([](DialogScript& s) {
    HWND d = s.waitForDialog(L"Schedule and Storage");
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(tickedDays(d), L"1111111");
    s.click(d, IDC_ACTIVE_HOURS);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d, IDC_HOURS_FROM)));
    for (int id = IDC_MONDAY; id <= IDC_SUNDAY; ++id) s.click(d, id);
    expectRefusedSave(s, d);
    s.click(d, IDC_MONDAY + 2);
    s.type(d, IDC_KEEP_DAYS, L"");
    s.press(d, IDOK);
    EXPECT_TRUE(s.waitClosed(d));
  });
  EXPECT_TRUE(runScheduleStorageDialog(nullptr, shot));
  EXPECT_EQ(shot.ACTIVE_HOURS, L"");
  EXPECT_EQ(shot.ACTIVE_DAYS, L"0010000");
  EXPECT_EQ(shot.KEEP_DAYS, 0);
}

TEST_F(ScheduleStorageDialogTest, ItsSaveReachesTheShotOnlyThroughShotSettingsSave) {
  for (int shotSettingsButton : {IDCANCEL, IDOK}) {
    ShotDefinition shot = editedShot();
    DialogScript script([shotSettingsButton](DialogScript& s) {
      HWND d = s.waitForDialog(L"Shot Settings");
      ASSERT_NE(d, nullptr);
      s.press(d, IDC_SCHEDULE_STORAGE);
      HWND g = s.waitForDialog(L"Schedule and Storage");
      ASSERT_NE(g, nullptr);
      s.type(g, IDC_KEEP_DAYS, L"14");
      s.press(g, IDOK);
      EXPECT_TRUE(s.waitClosed(g));
      s.press(d, shotSettingsButton);
      EXPECT_TRUE(s.waitClosed(d));
    });
    EXPECT_EQ(runShotSettingsDialog(nullptr, shot, false, L""), shotSettingsButton == IDOK);
    EXPECT_EQ(shot.KEEP_DAYS, shotSettingsButton == IDOK ? 14 : 0);
  }
}

}  // namespace
