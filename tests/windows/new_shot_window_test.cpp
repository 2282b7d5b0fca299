// The New Shot overlay on threads of its own, driven by the messages its buttons and its
// settings dialog would send, with a private data folder.
#include "ui/new_shot_window.h"

#include <gtest/gtest.h>
#include <oleacc.h>

#include <chrono>
#include <memory>
#include <tuple>

#include "platform/worker_group.h"
#include "shots/shots_file.h"
#include "support/data_folder_test.h"
#include "support/message_pump_win.h"
#include "support/vemlix_process_win.h"
#include "widgets/button_registry.h"
#include "widgets/tooltip_window.h"
#include "widgets/widgets.h"

namespace {

constexpr UINT kSave = 1;
constexpr UINT kCancel = 2;
constexpr UINT kFullScreen = 146;

RECT outline(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect;
}

class NewShotWindowTest : public DataFolderTest {
 protected:
  void SetUp() override {
    DataFolderTest::SetUp();
    HINSTANCE module = GetModuleHandleW(nullptr);
    InitWidgets(module);
    NewShotWindow::instance().registerClass(module);
  }
  void TearDown() override {
    NewShotWindow::release();
    pumpUntil([] { return NewShotWindow::instance().openWindows().empty(); }, 5000);
    ShutdownWidgets();
    DataFolderTest::TearDown();
  }

  static ShotPtr newShot(int x, int y, int width, int height) {
    auto shot = std::make_shared<ShotDefinition>();
    shot->NAME = L"New Shot - 1";
    shot->isNew = true;
    shot->RECT_X = x;
    shot->RECT_Y = y;
    shot->RECT_WIDTH = width;
    shot->RECT_HEIGHT = height;
    return shot;
  }

  // Opens an overlay and waits for its window.
  static HWND open(const ShotPtr& shot) {
    const auto before = NewShotWindow::instance().openWindows();
    NewShotWindow::instance().open(shot, nullptr);
    HWND opened = nullptr;
    pumpUntil(
        [&] {
          for (HWND window : NewShotWindow::instance().openWindows())
            if (!before.count(window)) opened = window;
          return opened && IsWindowVisible(opened);
        },
        10000);
    return opened;
  }

  // Save, then the settings dialog's Save (or Cancel), as a user would click them.
  static bool save(HWND overlay, UINT dialogButton = IDOK) {
    PostMessageW(overlay, WM_COMMAND, kSave, 0);
    HWND dialog = nullptr;
    if (!pumpUntil([&] { return (dialog = FindWindowW(L"#32770", L"Shot Settings")) != nullptr; },
                   10000))
      return false;
    PostMessageW(dialog, WM_COMMAND, dialogButton, 0);
    return pumpUntil([&] { return !IsWindow(overlay); }, 10000);
  }

  static void command(HWND overlay, UINT id) { SendMessageW(overlay, WM_COMMAND, id, 0); }

  std::string shotsFile() const {
    return readBytes(AppSettings::instance().sharedDataFolder() + kShotsFileName);
  }
};

TEST_F(NewShotWindowTest, SaveStoresTheOutlineAsTheRegion) {
  HWND overlay = open(newShot(100, 50, 400, 300));
  ASSERT_NE(overlay, nullptr);
  EXPECT_TRUE(GetWindowLongW(overlay, GWL_EXSTYLE) & WS_EX_LAYERED);
  // Shown without a fade, then made see-through.
  EXPECT_TRUE(pumpUntil(
      [&] {
        BYTE alpha = 0;
        return GetLayeredWindowAttributes(overlay, nullptr, &alpha, nullptr) && alpha == 180;
      },
      5000));
  ASSERT_TRUE(save(overlay));

  ASSERT_EQ(ShotStore::instance().count(), 1u);
  const ShotDefinition stored = ShotStore::instance().copy(ShotStore::instance().at(0));
  EXPECT_EQ(stored.NAME, L"New Shot - 1");
  EXPECT_EQ((std::array{stored.RECT_X, stored.RECT_Y, stored.RECT_WIDTH, stored.RECT_HEIGHT}),
            (std::array{100, 50, 400, 300}));
  EXPECT_EQ((std::array{stored.DRAW_RECT_X, stored.DRAW_RECT_Y, stored.DRAW_RECT_WIDTH,
                        stored.DRAW_RECT_HEIGHT}),
            (std::array{100, 50, 500, 350}));
  EXPECT_EQ(stored.PREV_RECT_WIDTH, 400);
  EXPECT_EQ(parseShotsFile(shotsFile()).size(), 1u);
}

TEST_F(NewShotWindowTest, FullScreenCoversTheScreenAndComesBackExactly) {
  HWND overlay = open(newShot(120, 80, 300, 200));
  ASSERT_NE(overlay, nullptr);
  const RECT framed = outline(overlay);
  command(overlay, kFullScreen);
  const RECT full = outline(overlay);
  EXPECT_EQ(full.left, 0);
  EXPECT_EQ(full.right, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(full.bottom, GetSystemMetrics(SM_CYSCREEN));
  command(overlay, kFullScreen);
  const RECT back = outline(overlay);
  EXPECT_TRUE(EqualRect(&back, &framed));

  command(overlay, kFullScreen);
  ASSERT_TRUE(save(overlay));
  const ShotDefinition stored = ShotStore::instance().copy(ShotStore::instance().at(0));
  EXPECT_TRUE(stored.FULL_SCREEN);
  EXPECT_EQ((std::array{stored.RECT_X, stored.RECT_Y, stored.RECT_WIDTH, stored.RECT_HEIGHT}),
            (std::array{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}));
}

// Cancel, by the overlay's button or the dialog's, leaves everything as it was: a new shot
// is dropped, an edited one keeps even what the full-screen toggle did to the overlay's copy.
TEST_F(NewShotWindowTest, CancelLeavesTheStoreAndTheFileAlone) {
  HWND fresh = open(newShot(10, 10, 200, 100));
  ASSERT_NE(fresh, nullptr);
  command(fresh, kCancel);
  EXPECT_FALSE(IsWindow(fresh));
  EXPECT_EQ(ShotStore::instance().count(), 0u);

  const ShotPtr stored = newShot(30, 40, 200, 100);
  ShotStore::instance().add(stored);
  const ShotDefinition before = ShotStore::instance().copy(stored);
  const std::string fileBefore = shotsFile();
  HWND edited = open(stored);
  ASSERT_NE(edited, nullptr);
  command(edited, kFullScreen);
  ASSERT_TRUE(save(edited, IDCANCEL));
  EXPECT_EQ(ShotStore::instance().copy(stored), before);
  EXPECT_EQ(shotsFile(), fileBefore);
}

// The shot was deleted while its overlay was open: Save brings it back as edited.
TEST_F(NewShotWindowTest, SavingAShotDeletedMeanwhileAddsItBack) {
  const ShotPtr stored = newShot(30, 40, 200, 100);
  stored->NAME = L"Kept";
  ShotStore::instance().add(stored);
  HWND overlay = open(stored);
  ASSERT_NE(overlay, nullptr);
  ShotStore::instance().remove(stored);
  ASSERT_EQ(ShotStore::instance().count(), 0u);
  ASSERT_TRUE(save(overlay));
  ASSERT_EQ(ShotStore::instance().count(), 1u);
  EXPECT_EQ(ShotStore::instance().copy(ShotStore::instance().at(0)).NAME, L"Kept");
}

// A check box switched in the list while the overlay is open survives the overlay's Save,
// which writes back only the frame and what its dialog changed.
TEST_F(NewShotWindowTest, SaveKeepsWhatTheListChangedMeanwhile) {
  const ShotPtr stored = newShot(30, 40, 200, 100);
  stored->NAME = L"Desk";
  stored->isNew = false;
  ShotStore::instance().add(stored);
  HWND overlay = open(stored);
  ASSERT_NE(overlay, nullptr);
  ShotStore::instance().update(stored, [](ShotDefinition& record) { record.AUTO_ENABLED = true; });
  ASSERT_TRUE(save(overlay));
  ASSERT_EQ(ShotStore::instance().count(), 1u);
  EXPECT_TRUE(ShotStore::instance().copy(ShotStore::instance().at(0)).AUTO_ENABLED);
  EXPECT_TRUE(parseShotsFile(shotsFile()).at(0).AUTO_ENABLED);
}

// A shot whose monitor is gone opens on the nearest one, fitted to it, and can be reached.
TEST_F(NewShotWindowTest, AShotOnNoMonitorOpensOnTheNearestOne) {
  HWND overlay = open(newShot(5000, 4000, 300, 200));
  ASSERT_NE(overlay, nullptr);
  const RECT placed = outline(overlay);
  RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  RECT inside{};
  ASSERT_TRUE(IntersectRect(&inside, &placed, &screen));
  EXPECT_TRUE(EqualRect(&inside, &placed));
  command(overlay, kCancel);
}

// Two overlays on two threads: closing one leaves the other's buttons and the one tooltip
// of the program working.
TEST_F(NewShotWindowTest, TwoOverlaysKeepTheirButtonsAndTheTooltip) {
  HWND first = open(newShot(10, 10, 300, 200));
  HWND second = open(newShot(400, 300, 300, 200));
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  HWND tooltip = FindWindowW(kTooltipClassName, nullptr);
  command(second, kCancel);
  ASSERT_TRUE(pumpUntil([&] { return !IsWindow(second); }, 5000));

  // The first overlay's Cancel button still sends its command.
  HWND button = nullptr;
  EnumChildWindows(
      first,
      [](HWND child, LPARAM found) {
        const ButtonRecordPtr record = ButtonRegistry::instance().find(child);
        if (record && record->commandId == kCancel) *reinterpret_cast<HWND*>(found) = child;
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&button));
  ASSERT_NE(button, nullptr);
  // Screen readers call the overlay by what it is, and its buttons by their tooltips.
  wchar_t className[64] = {};
  GetClassNameW(first, className, 64);
  EXPECT_STREQ(className, kNewShotClassName);
  // A reader has COM, which brings it objects from other threads.
  CoInitialize(nullptr);
  VARIANT self{};
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  for (const auto& [window, object, name] : {std::tuple(first, OBJID_CLIENT, L"New Shot frame"),
                                             std::tuple(button, OBJID_CLIENT, L"Cancel")}) {
    IAccessible* accessible = nullptr;
    ASSERT_EQ(AccessibleObjectFromWindow(window, object, IID_IAccessible,
                                         reinterpret_cast<void**>(&accessible)),
              S_OK);
    BSTR text = nullptr;
    EXPECT_EQ(accessible->get_accName(self, &text), S_OK);
    EXPECT_STREQ(text, name);
    SysFreeString(text);
    accessible->Release();
  }
  CoUninitialize();
  PostMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, 0);
  PostMessageW(button, WM_LBUTTONUP, 0, 0);
  EXPECT_TRUE(pumpUntil([&] { return !IsWindow(first); }, 5000));

  TooltipWindow::instance().show(L"Still here", 20, 20);
  EXPECT_TRUE(TooltipWindow::instance().isVisible());
  EXPECT_EQ(FindWindowW(kTooltipClassName, nullptr), tooltip);
}

// What the user frames at 144 dpi is what the capture takes, pixel for pixel.
TEST(NewShotWindowDpiTest, At144DpiARegionIsCapturedAtItsPixelSize) {
  removeVemlixData();
  TempFolder pictures;
  writeSettings(L"SCHED_ON=1");
  ShotDefinition shot;
  shot.NAME = L"Exact";
  shot.AUTO_ENABLED = true;
  shot.RECT_X = 10;
  shot.RECT_Y = 20;
  shot.RECT_WIDTH = 321;
  shot.RECT_HEIGHT = 123;
  shot.FORMAT = 0;
  shot.TIMESTAMP = L"%H_%M_%S";
  shot.LOCAL_PATH = pictures.path();
  writeBytes(sharedDataFolder() + L"\\" + kShotsFileName, formatShotsFile({shot}));
  HKEY key = nullptr;
  RegOpenKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, KEY_SET_VALUE, &key);
  const win32::UniqueRegKey desktop(key);
  const DWORD high = 144;
  const DWORD normal = 96;
  RegSetValueExW(key, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&high), 4);
  VemlixProcess vemlix;
  HWND window = vemlix.waitForMainWindow();
  RegSetValueExW(key, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&normal), 4);
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(
      waitFor([&] { return !filesMatching(pictures.path(), L"Exact-*.bmp").empty(); }, 15000));
  PostMessageW(window, WM_COMMAND, 177, 0);
  DWORD exitCode = 1;
  EXPECT_TRUE(vemlix.waitForExit(10000, exitCode));
  // A 24-bit BMP: the header holds the width and the height.
  const std::string bytes =
      readBytes(pictures.file(*filesMatching(pictures.path(), L"Exact-*.bmp").begin()));
  ASSERT_GT(bytes.size(), 26u);
  int32_t width = 0;
  int32_t height = 0;
  memcpy(&width, bytes.data() + 18, 4);
  memcpy(&height, bytes.data() + 22, 4);
  EXPECT_EQ(width, 321);
  EXPECT_EQ(std::abs(height), 123);
  removeVemlixData();
}

}  // namespace
