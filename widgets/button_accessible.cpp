#include "widgets/button_accessible.h"

#include <string>

namespace {

constexpr wchar_t kPressAction[] = L"Press";

bool isSelf(const VARIANT& child) {
  return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

HRESULT giveText(const std::wstring& text, BSTR* out) {
  if (!out) return E_POINTER;
  *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  return *out ? S_OK : E_OUTOFMEMORY;
}

std::wstring windowText(HWND window) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

}  // namespace

LRESULT ButtonAccessible::answer(HWND button, WPARAM wParam) {
  auto* object = new ButtonAccessible(button);
  const LRESULT result = LresultFromObject(IID_IAccessible, wParam, object);
  object->Release();
  return result;
}

ButtonAccessible::ButtonAccessible(HWND button) : button_(button) {
  CreateStdAccessibleObject(button, OBJID_CLIENT, IID_IAccessible,
                            reinterpret_cast<void**>(&standard_));
}

ButtonAccessible::~ButtonAccessible() {
  if (standard_) standard_->Release();
}

HRESULT ButtonAccessible::QueryInterface(REFIID id, void** object) {
  if (!object) return E_POINTER;
  if (id == IID_IUnknown || id == IID_IDispatch || id == IID_IAccessible) {
    *object = static_cast<IAccessible*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG ButtonAccessible::AddRef() {
  return static_cast<ULONG>(InterlockedIncrement(&references_));
}

ULONG ButtonAccessible::Release() {
  const LONG left = InterlockedDecrement(&references_);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

HRESULT ButtonAccessible::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT ButtonAccessible::GetTypeInfo(UINT, LCID, ITypeInfo**) {
  return E_NOTIMPL;
}

HRESULT ButtonAccessible::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
  return E_NOTIMPL;
}

HRESULT ButtonAccessible::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                 UINT*) {
  return E_NOTIMPL;
}

HRESULT ButtonAccessible::get_accName(VARIANT child, BSTR* name) {
  if (!isSelf(child)) return E_INVALIDARG;
  return giveText(windowText(button_), name);
}

HRESULT ButtonAccessible::get_accRole(VARIANT child, VARIANT* role) {
  if (!role) return E_POINTER;
  if (!isSelf(child)) return E_INVALIDARG;
  role->vt = VT_I4;
  role->lVal = ROLE_SYSTEM_PUSHBUTTON;
  return S_OK;
}

HRESULT ButtonAccessible::get_accDefaultAction(VARIANT child, BSTR* action) {
  if (!isSelf(child)) return E_INVALIDARG;
  return giveText(kPressAction, action);
}

HRESULT ButtonAccessible::accDoDefaultAction(VARIANT child) {
  if (!isSelf(child)) return E_INVALIDARG;
  return PostMessageW(button_, kPressButtonMessage, 0, 0) ? S_OK : E_FAIL;
}

HRESULT ButtonAccessible::get_accChildCount(long* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT ButtonAccessible::get_accChild(VARIANT, IDispatch** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  return E_INVALIDARG;
}

HRESULT ButtonAccessible::accHitTest(long left, long top, VARIANT* child) {
  if (!child) return E_POINTER;
  RECT area{};
  GetWindowRect(button_, &area);
  const bool inside = PtInRect(&area, POINT{left, top});
  child->vt = inside ? VT_I4 : VT_EMPTY;
  child->lVal = CHILDID_SELF;
  return inside ? S_OK : S_FALSE;
}

HRESULT ButtonAccessible::get_accParent(IDispatch** parent) {
  return standard([&](IAccessible* object) { return object->get_accParent(parent); });
}

HRESULT ButtonAccessible::get_accValue(VARIANT child, BSTR* value) {
  return standard([&](IAccessible* object) { return object->get_accValue(child, value); });
}

HRESULT ButtonAccessible::get_accDescription(VARIANT child, BSTR* description) {
  return standard(
      [&](IAccessible* object) { return object->get_accDescription(child, description); });
}

HRESULT ButtonAccessible::get_accState(VARIANT child, VARIANT* state) {
  return standard([&](IAccessible* object) { return object->get_accState(child, state); });
}

HRESULT ButtonAccessible::get_accHelp(VARIANT child, BSTR* help) {
  return standard([&](IAccessible* object) { return object->get_accHelp(child, help); });
}

HRESULT ButtonAccessible::get_accHelpTopic(BSTR* file, VARIANT child, long* topic) {
  return standard(
      [&](IAccessible* object) { return object->get_accHelpTopic(file, child, topic); });
}

HRESULT ButtonAccessible::get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) {
  return standard(
      [&](IAccessible* object) { return object->get_accKeyboardShortcut(child, shortcut); });
}

HRESULT ButtonAccessible::get_accFocus(VARIANT* child) {
  return standard([&](IAccessible* object) { return object->get_accFocus(child); });
}

HRESULT ButtonAccessible::get_accSelection(VARIANT* children) {
  return standard([&](IAccessible* object) { return object->get_accSelection(children); });
}

HRESULT ButtonAccessible::accSelect(long flags, VARIANT child) {
  return standard([&](IAccessible* object) { return object->accSelect(flags, child); });
}

HRESULT ButtonAccessible::accLocation(long* left, long* top, long* width, long* height,
                                      VARIANT child) {
  return standard(
      [&](IAccessible* object) { return object->accLocation(left, top, width, height, child); });
}

HRESULT ButtonAccessible::accNavigate(long direction, VARIANT start, VARIANT* end) {
  return standard([&](IAccessible* object) { return object->accNavigate(direction, start, end); });
}

HRESULT ButtonAccessible::put_accName(VARIANT, BSTR) {
  return E_NOTIMPL;
}

HRESULT ButtonAccessible::put_accValue(VARIANT, BSTR) {
  return E_NOTIMPL;
}
