#pragma once
// The one way the program makes a dialog, modal or modeless (a child of a window). The object
// arrives as the lParam of WM_INITDIALOG and is kept in the dialog's user data; every later
// message goes to its handleMessage. The usual dialog needs only onInitDialog() and onSave():
// Save (IDOK) keeps what the dialog shows and ends it, unless onSave() refused; Cancel, Escape
// and the close box (IDCANCEL) end it with nothing kept. The background and static texts take
// the window colour for every dialog.
#include <windows.h>

#include <cstdint>
#include <string>
#include <utility>

class BaseDialog {
 public:
  BaseDialog(const BaseDialog&) = delete;
  BaseDialog& operator=(const BaseDialog&) = delete;

 protected:
  BaseDialog() = default;
  ~BaseDialog() = default;

  // Runs the dialog of the program's module with this object; true after Save.
  bool runModal(HWND owner, int templateId);
  // Makes the dialog as a child of `parent`, which it goes with; null when it could not be made.
  HWND createModeless(HINSTANCE module, HWND parent, int templateId);

  // TRUE when the message was handled (with the dialog's result already set where needed).
  // WM_INITDIALOG goes to onInitDialog() (and the system then gives the first control the
  // focus), WM_COMMAND to onCommand(). A dialog that needs more handles its messages itself and
  // passes the rest on to this.
  virtual INT_PTR handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  virtual void onInitDialog() {}
  // The commands of the dialog's own controls; TRUE when handled. Save and Cancel are the base's.
  virtual INT_PTR onCommand(int /*id*/) { return FALSE; }
  // Takes what the controls show into what the dialog edits; false when it refused (and the
  // dialog stays open).
  virtual bool onSave() { return true; }

  // Says why Save cannot keep this, in a message box with the dialog's caption, and puts the
  // focus on `control`; gives false, for onSave() to return.
  bool refuse(int control, const std::wstring& text) const;

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
  INT_PTR onBaseCommand(int id);
};

// Runs `edit` on a copy of `value`; `value` takes the copy only when `edit` gives true (Save).
template <typename Value, typename Edit>
bool editCopy(Value& value, Edit edit) {
  Value copy = value;
  if (!edit(copy)) return false;
  value = std::move(copy);
  return true;
}
