#include "ui/base_dialog.h"

#include "capture/image_format.h"

bool BaseDialog::runModal(HWND owner, int templateId) {
  // The templates are linked into the program itself, whoever calls.
  return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId), owner, procedure,
                         reinterpret_cast<LPARAM>(this)) == IDOK;
}

HWND BaseDialog::createModeless(HINSTANCE module, HWND parent, int templateId) {
  return CreateDialogParamW(module, MAKEINTRESOURCEW(templateId), parent, procedure,
                            reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK BaseDialog::procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  BaseDialog* self = nullptr;
  if (message == WM_INITDIALOG) {
    self = reinterpret_cast<BaseDialog*>(lParam);
    self->dialog_ = dialog;
    SetWindowLongPtrW(dialog, DWLP_USER, lParam);
  } else {
    self = reinterpret_cast<BaseDialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
  }
  if (!self) return FALSE;

  if (message == WM_CTLCOLORDLG || message == WM_CTLCOLORSTATIC) {
    // The text of statics is drawn on the DC's own background colour, not on the brush.
    SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_WINDOW));
    return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_WINDOW));
  }
  const INT_PTR result = self->handleMessage(message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(dialog, DWLP_USER, 0);
    self->dialog_ = nullptr;
  }
  return result;
}

INT_PTR BaseDialog::handleMessage(UINT message, WPARAM wParam, LPARAM /*lParam*/) {
  switch (message) {
    case WM_INITDIALOG:
      limitEditFields();
      onInitDialog();
      return TRUE;
    case WM_COMMAND:
      return onBaseCommand(LOWORD(wParam));
  }
  return FALSE;
}

INT_PTR BaseDialog::onBaseCommand(int id) {
  switch (id) {
    case IDOK:
      if (onSave()) EndDialog(dialog_, IDOK);
      return TRUE;
    case IDCANCEL:
      EndDialog(dialog_, IDCANCEL);
      return TRUE;
  }
  return onCommand(id);
}

bool BaseDialog::refuse(int control, const std::wstring& text) const {
  wchar_t caption[128] = {};
  GetWindowTextW(dialog_, caption, 128);
  MessageBoxW(dialog_, text.c_str(), caption, MB_OK | MB_ICONWARNING);
  SendMessageW(dialog_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog_, control)),
               TRUE);
  return false;
}

BOOL CALLBACK BaseDialog::limitEditField(HWND control, LPARAM) {
  wchar_t className[8] = {};
  GetClassNameW(control, className, 8);
  if (CompareStringOrdinal(className, -1, L"Edit", -1, TRUE) != CSTR_EQUAL) return TRUE;
  const bool digitsOnly = GetWindowLongW(control, GWL_STYLE) & ES_NUMBER;
  SendMessageW(control, EM_LIMITTEXT, digitsOnly ? kMaxDigits : kMaxFieldLength, 0);
  return TRUE;
}

void BaseDialog::limitEditFields() const {
  EnumChildWindows(dialog_, limitEditField, 0);
}

std::wstring BaseDialog::itemText(int id) const {
  // Whole, even a longer text than the field lets the user type: one that came from a file
  // must not come back cut without a word.
  HWND item = GetDlgItem(dialog_, id);
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(item)) + 1, L'\0');
  const int length = GetWindowTextW(item, text.data(), static_cast<int>(text.size()));
  text.resize(static_cast<size_t>(length > 0 ? length : 0));
  return text;
}

void BaseDialog::setItemText(int id, const std::wstring& text) const {
  SetDlgItemTextW(dialog_, id, text.c_str());
}

bool BaseDialog::isChecked(int id) const {
  return IsDlgButtonChecked(dialog_, id) == BST_CHECKED;
}

void BaseDialog::setChecked(int id, bool checked) const {
  CheckDlgButton(dialog_, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

void BaseDialog::enableItem(int id, bool enabled) const {
  EnableWindow(GetDlgItem(dialog_, id), enabled);
}

void BaseDialog::fillFormatList(int id, int32_t index) const {
  HWND list = GetDlgItem(dialog_, id);
  for (const ImageFormat& format : ImageFormat::all()) {
    const std::wstring name(format.displayName);
    SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
  }
  // Only -1 clears the selection; other values outside the list are errors that may not.
  const bool known = index >= 0 && index < ImageFormat::kCount;
  SendMessageW(list, CB_SETCURSEL, known ? static_cast<WPARAM>(index) : static_cast<WPARAM>(-1), 0);
}

int32_t BaseDialog::selectedFormat(int id) const {
  const LRESULT index = SendDlgItemMessageW(dialog_, id, CB_GETCURSEL, 0, 0);
  return index == CB_ERR ? -1 : static_cast<int32_t>(index);
}
