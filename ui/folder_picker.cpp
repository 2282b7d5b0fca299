#include "ui/folder_picker.h"

#include <objbase.h>
#include <shlobj.h>

#include "platform/unique_resource.h"

namespace {

// The shell's picker needs COM on the calling thread. A thread that already has it in another
// mode keeps it, and only a successful initialisation is undone.
class ComApartment {
 public:
  ComApartment() : result_(CoInitialize(nullptr)) {}
  ~ComApartment() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

 private:
  HRESULT result_;
};

void freeItemList(PIDLIST_ABSOLUTE list) {
  CoTaskMemFree(list);
}
using UniqueItemList = UniqueResource<PIDLIST_ABSOLUTE, freeItemList>;

}  // namespace

bool pickFolder(HWND owner, std::wstring& folder) {
  ComApartment com;
  BROWSEINFOW browse{};
  browse.hwndOwner = owner;
  browse.lpszTitle = L"Select Directory";
  browse.ulFlags = BIF_RETURNONLYFSDIRS;
  UniqueItemList chosen(SHBrowseForFolderW(&browse));
  if (!chosen) return false;
  wchar_t path[MAX_PATH] = {};
  if (!SHGetPathFromIDListW(chosen.get(), path)) return false;
  folder = path;
  return true;
}
