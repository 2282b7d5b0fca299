// The picture buttons and their tooltip, made in the test's own thread and driven by the
// mouse messages the system would send.
#include "widgets/widgets.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/win32_handles.h"
#include "support/message_pump_win.h"
#include "ui/resource_ids.h"
#include "widgets/button_registry.h"
#include "widgets/image_button.h"
#include "widgets/tooltip_window.h"

namespace {

constexpr UINT kCommand = 4242;

// A parent for the buttons that notes every command it receives and what the button showed
// at that moment.
class CommandSink {
 public:
  CommandSink() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"VemlixTestSink";
    RegisterClassW(&windowClass);
    window_ = CreateWindowExW(0, L"VemlixTestSink", L"", WS_POPUP | WS_VISIBLE, 50, 50, 200, 100,
                              nullptr, nullptr, GetModuleHandleW(nullptr), this);
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~CommandSink() { DestroyWindow(window_); }

  HWND window() const { return window_; }
  std::vector<UINT> commands;
  std::vector<HANDLE> picturesAtCommand;
  HWND watchedImage = nullptr;

 private:
  static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<CommandSink*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self && message == WM_COMMAND) {
      self->commands.push_back(LOWORD(wParam));
      self->picturesAtCommand.push_back(reinterpret_cast<HANDLE>(
          SendMessageW(self->watchedImage, STM_GETIMAGE, IMAGE_BITMAP, 0)));
      return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
  }

  HWND window_ = nullptr;
};

class WidgetsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(InitWidgets(GetModuleHandleW(nullptr)));
    button_.create(sink_.window(), sink_.window(), 10, 10, 24, 24, IDB_TAKE_SHOT,
                   IDB_TAKE_SHOT_PRESSED, kCommand, L"Take Shot");
    record_ = ButtonRegistry::instance().find(button_.window());
    ASSERT_TRUE(record_);
    sink_.watchedImage = record_->imageWindow;
  }
  void TearDown() override { ShutdownWidgets(); }

  HANDLE shownPicture() const {
    return reinterpret_cast<HANDLE>(
        SendMessageW(record_->imageWindow, STM_GETIMAGE, IMAGE_BITMAP, 0));
  }
  void send(UINT message, WPARAM keys = 0) const {
    SendMessageW(button_.window(), message, keys, MAKELPARAM(5, 5));
  }

  CommandSink sink_;
  ImageButton button_;
  ButtonRecordPtr record_;
};

TEST_F(WidgetsTest, TooltipIsEightPixelsPerCharacterAndOneLineHigh) {
  EXPECT_EQ(TooltipWindow::sizeFor(L"Take Shot", 96).cx, 72);
  EXPECT_EQ(TooltipWindow::sizeFor(L"Take Shot", 96).cy, 16);
  EXPECT_EQ(TooltipWindow::sizeFor(L"Start or stop Automatic Mode", 96).cx, 224);
  EXPECT_EQ(TooltipWindow::sizeFor(L"", 96).cx, 0);
  // Ten pixels a character at 120 dpi.
  EXPECT_EQ(TooltipWindow::sizeFor(L"Take Shot", 120).cx, 90);

  TooltipWindow& tooltip = TooltipWindow::instance();
  tooltip.show(L"Take Shot", 300, 200);
  ASSERT_TRUE(tooltip.isVisible());
  HWND window = FindWindowW(kTooltipClassName, nullptr);
  RECT rect{};
  GetWindowRect(window, &rect);
  EXPECT_EQ(rect.left, 300);
  EXPECT_EQ(rect.right - rect.left, 72);
  EXPECT_EQ(rect.bottom - rect.top, 16);
  // The same window moves for the next text.
  tooltip.show(L"Start or stop Automatic Mode", 10, 20);
  EXPECT_EQ(FindWindowW(kTooltipClassName, nullptr), window);
  GetWindowRect(window, &rect);
  EXPECT_EQ(rect.right - rect.left, 224);
  tooltip.hide();
  EXPECT_FALSE(tooltip.isVisible());
}

// An overlay's button on its own thread asks for the tooltip and the pointer leaves before the
// tooltip's thread has shown it: the late show must not leave it on screen (and in captures).
TEST_F(WidgetsTest, ALeaveBeforeTheTooltipShowsKeepsItHidden) {
  TooltipWindow& tooltip = TooltipWindow::instance();
  tooltip.createWindow();
  win32::UniqueHandle checked(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  std::atomic<bool> left{false};
  std::thread overlay([&] {
    CommandSink parent;
    ImageButton button;
    button.create(parent.window(), parent.window(), 5, 5, 16, 16, IDB_REGION_SAVE,
                  IDB_REGION_SAVE_PRESSED, 1, L"Save");
    SendMessageW(button.window(), WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
    SendMessageW(button.window(), WM_MOUSELEAVE, 0, 0);
    left = true;
    WaitForSingleObject(checked.get(), 10000);
  });
  // Not handling messages meanwhile, so the show request cannot be carried out before the leave.
  while (!left) Sleep(10);
  pumpUntil([] { return false; }, 300);
  EXPECT_FALSE(tooltip.isVisible());
  SetEvent(checked.get());
  overlay.join();
}

TEST_F(WidgetsTest, APressThatEndsElsewhereSendsNothing) {
  send(WM_LBUTTONDOWN, MK_LBUTTON);
  EXPECT_EQ(shownPicture(), record_->pressedImage.get());
  send(WM_MOUSELEAVE);
  EXPECT_EQ(shownPicture(), record_->normalImage.get());
  EXPECT_TRUE(record_->pressed);  // latched away
  pumpPending();
  EXPECT_TRUE(sink_.commands.empty());
  // Back with the button held: pressed again once the mouse rests.
  send(WM_MOUSEHOVER, MK_LBUTTON);
  EXPECT_EQ(shownPicture(), record_->pressedImage.get());
}

TEST_F(WidgetsTest, AReleaseOverTheButtonSendsOnceAfterTheNormalPicture) {
  send(WM_LBUTTONDOWN, MK_LBUTTON);
  send(WM_LBUTTONUP);
  ASSERT_EQ(sink_.commands, std::vector<UINT>{kCommand});
  EXPECT_EQ(sink_.picturesAtCommand[0], record_->normalImage.get());
  EXPECT_FALSE(record_->pressed);
  // A release without a press before it sends too.
  send(WM_LBUTTONUP);
  EXPECT_EQ(sink_.commands.size(), 2u);
}

TEST_F(WidgetsTest, StartAndShutdownTwiceAreHarmless) {
  EXPECT_TRUE(InitWidgets(GetModuleHandleW(nullptr)));
  ShutdownWidgets();
  ShutdownWidgets();
  EXPECT_EQ(ButtonRegistry::instance().size(), 0u);
  // Without its record the button ignores the mouse, and its owner may still let it go.
  send(WM_LBUTTONDOWN, MK_LBUTTON);
  send(WM_LBUTTONUP);
  EXPECT_TRUE(sink_.commands.empty());
  button_.setImages(IDB_NEW_SHOT, IDB_NEW_SHOT_PRESSED);
  EXPECT_EQ(record_->normalImageId, static_cast<UINT>(IDB_TAKE_SHOT));
}

}  // namespace
