#pragma once
// The plumbing shared by the program's modal dialogs: the object arrives as the lParam of
// WM_INITDIALOG and is kept in the dialog's user data; every later message goes to its
// handleMessage. The background and static texts take the window colour for every dialog.
#include <windows.h>

#include <cstdint>
#include <string>

class BaseDialog {
 public:
  BaseDialog(const BaseDialog&) = delete;
  BaseDialog& operator=(const BaseDialog&) = delete;

 protected:
  BaseDialog() = default;
  ~BaseDialog() = default;

  // Runs the dialog of the program's module with this object; the result of EndDialog, or -1
  // when the dialog could not be made.
  INT_PTR runModal(HWND owner, int templateId);

  // TRUE when the message was handled (with the dialog's result already set where needed).
  // The usual dialog needs only its start and its commands: WM_INITDIALOG goes to
  // onInitDialog() (and the system then gives the first control the focus), WM_COMMAND to
  // onCommand(). A dialog that needs more handles its messages itself.
  virtual INT_PTR handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  virtual void onInitDialog() {}
  // TRUE when the command was handled.
  virtual INT_PTR onCommand(int /*id*/) { return FALSE; }

  // The user can type at most this many characters into a field, so what is stored is what the
  // field shows; a field of digits only holds a 32-bit number.
  static constexpr int kMaxFieldLength = 259;
  static constexpr int kMaxDigits = 10;

  // The field's whole text.
  std::wstring itemText(int id) const;
  void setItemText(int id, const std::wstring& text) const;
  bool isChecked(int id) const;
  void setChecked(int id, bool checked) const;
  void enableItem(int id, bool enabled) const;

  // The five image formats in index order, `index` selected; none when it is not one of them.
  void fillFormatList(int id, int32_t index) const;
  // The selected index, -1 when none is.
  int32_t selectedFormat(int id) const;

  HWND dialog_ = nullptr;

 private:
  static INT_PTR CALLBACK procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  static BOOL CALLBACK limitEditField(HWND control, LPARAM);
  void limitEditFields() const;
};
