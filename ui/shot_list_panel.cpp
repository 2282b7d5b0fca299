#include "ui/shot_list_panel.h"

#include <commctrl.h>

#include <atomic>
#include <utility>

#include "scheduler/shot_scheduler_win.h"
#include "ui/resource_ids.h"
#include "widgets/dpi_scale.h"

namespace {

ShotListPanel* panel = nullptr;
// The panel's window for other threads, which never touch the object itself.
std::atomic<HWND> panelWindow = nullptr;

constexpr POINT kPosition{10, 70};  // in the main window, at 96 dpi
// What the template's 253 x 134 dialog units come to at 96 dpi. Set in pixels, because fonts, and
// so dialog units, do not grow exactly in step with the dpi, and the skin around the list does.
constexpr SIZE kSize{380, 218};
constexpr int kNameColumnWidth = 200;
constexpr int kModeColumnWidth = 160;
constexpr DWORD kListStyles = LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_LABELTIP;
// Another thread asks the panel's own thread to rebuild the rows.
constexpr UINT kFillRequest = WM_APP + 1;

// State images of the check boxes: 1 clear, 2 ticked.
UINT checkState(bool ticked) {
  return INDEXTOSTATEIMAGEMASK(ticked ? 2 : 1);
}

const wchar_t* modeText(bool enabled) {
  return enabled ? L"Enabled" : L"Disabled";
}

void setModeText(HWND list, int row, bool enabled) {
  ListView_SetItemText(list, row, 1, const_cast<wchar_t*>(modeText(enabled)));
}

void addColumn(HWND list, int index, const wchar_t* title, int width) {
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
  column.pszText = const_cast<wchar_t*>(title);
  column.cx = width;
  column.iSubItem = index;
  ListView_InsertColumn(list, index, &column);
}

}  // namespace

ShotListPanel& ShotListPanel::instance() {
  if (!panel) panel = new ShotListPanel();
  return *panel;
}

void ShotListPanel::release() {
  delete std::exchange(panel, nullptr);
}

ShotListPanel::~ShotListPanel() {
  panelWindow = nullptr;
  if (dialog_) DestroyWindow(dialog_);
}

void ShotListPanel::create(HINSTANCE module, HWND parentWindow) {
  HWND made = createModeless(module, parentWindow, IDD_SHOT_LIST);
  if (!made) return;
  applyDpi(dpi::of(parentWindow));
  ShowWindow(made, SW_SHOW);
}

HWND ShotListPanel::list() const {
  return GetDlgItem(dialog_, IDC_SHOT_LIST);
}

INT_PTR ShotListPanel::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NOTIFY:
      onNotify(*reinterpret_cast<const NMHDR*>(lParam));
      return TRUE;
    case kFillRequest:
      fillNow();
      return TRUE;
    case WM_COMMAND:
      return FALSE;  // a part of the main window, never ended by Save or Cancel of its own
  }
  return BaseDialog::handleMessage(message, wParam, lParam);
}

void ShotListPanel::onInitDialog() {
  panelWindow = dialog_;
  HWND view = list();
  ListView_SetExtendedListViewStyle(view, kListStyles);
  addColumn(view, 0, L"Shot Description", kNameColumnWidth);
  addColumn(view, 1, L"Automatic Mode", kModeColumnWidth);
}

void ShotListPanel::applyDpi(UINT dpi) {
  HWND window = dialog_;
  if (!window) return;
  const int width = dpi::scale(kSize.cx, dpi);
  const int height = dpi::scale(kSize.cy, dpi);
  SetWindowPos(window, nullptr, dpi::scale(kPosition.x, dpi), dpi::scale(kPosition.y, dpi), width,
               height, SWP_NOZORDER | SWP_NOACTIVATE);
  HWND view = list();
  SetWindowPos(view, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  ListView_SetColumnWidth(view, 0, dpi::scale(kNameColumnWidth, dpi));
  ListView_SetColumnWidth(view, 1, dpi::scale(kModeColumnWidth, dpi));
}

void ShotListPanel::fill() {
  fillNow();
}

void ShotListPanel::requestFill() {
  if (HWND window = panelWindow.load()) PostMessageW(window, kFillRequest, 0, 0);
}

void ShotListPanel::fillNow() {
  HWND view = list();
  filling_ = true;
  ListView_DeleteAllItems(view);
  ShotStore& store = ShotStore::instance();
  const uint32_t count = store.count();
  for (uint32_t slot = 0; slot < count; ++slot) {
    const ShotPtr shot = store.at(slot);
    if (shot) addRow(static_cast<int>(slot), store.copy(shot));
  }
  filling_ = false;
}

void ShotListPanel::addRow(int position, const ShotDefinition& shot) {
  HWND view = list();
  LVITEMW item{};
  item.mask = LVIF_TEXT | LVIF_PARAM;
  item.iItem = position;
  item.pszText = const_cast<wchar_t*>(shot.NAME.c_str());
  item.lParam = static_cast<LPARAM>(shot.uid);
  // The list keeps its rows sorted by name; the row lands where the sorting puts it.
  const int row = ListView_InsertItem(view, &item);
  if (row < 0) return;
  setModeText(view, row, shot.AUTO_ENABLED);
  ListView_SetItemState(view, row, checkState(shot.AUTO_ENABLED), LVIS_STATEIMAGEMASK);
}

void ShotListPanel::onNotify(const NMHDR& header) {
  if (header.idFrom != IDC_SHOT_LIST) return;
  switch (header.code) {
    case NM_DBLCLK:
      onDoubleClick(reinterpret_cast<const NMITEMACTIVATE&>(header));
      break;
    case LVN_ITEMCHANGED:
      onItemChanged(reinterpret_cast<const NMLISTVIEW&>(header));
      break;
  }
}

void ShotListPanel::onDoubleClick(const NMITEMACTIVATE& click) const {
  LVHITTESTINFO hit{};
  hit.pt = click.ptAction;
  ListView_HitTest(list(), &hit);
  if (hit.iItem >= 0 && (hit.flags & LVHT_ONITEMLABEL)) editSelected();
}

// The check box turned over, by a click or by the space bar: the row's shot follows it and the
// store is saved. (Reacting to the change rather than to the click sees both.)
void ShotListPanel::onItemChanged(const NMLISTVIEW& change) {
  if (filling_ || !(change.uChanged & LVIF_STATE)) return;
  const UINT before = change.uOldState & LVIS_STATEIMAGEMASK;
  const UINT after = change.uNewState & LVIS_STATEIMAGEMASK;
  if (before == after || before == 0) return;
  const ShotPtr shot = shotAt(change.iItem);
  if (!shot) return;
  const bool enabled = after == checkState(true);
  ShotStore& store = ShotStore::instance();
  store.update(shot, [enabled](ShotDefinition& record) { record.AUTO_ENABLED = enabled; });
  setModeText(list(), change.iItem, enabled);
  store.save();
}

ShotPtr ShotListPanel::shotAt(int row) const {
  if (row < 0) return nullptr;
  LVITEMW item{};
  item.mask = LVIF_PARAM;
  item.iItem = row;
  if (!ListView_GetItem(list(), &item)) return nullptr;
  return ShotStore::instance().find(static_cast<uint64_t>(item.lParam));
}

int ShotListPanel::selectedRow() const {
  HWND view = list();
  if (ListView_GetSelectedCount(view) == 0) return -1;
  return ListView_GetSelectionMark(view);
}

void ShotListPanel::takeSelected() const {
  if (const ShotPtr shot = shotAt(selectedRow())) ShotScheduler::instance().fireShot(shot);
}

void ShotListPanel::editSelected() const {
  if (const ShotPtr shot = shotAt(selectedRow()); shot && edit_) edit_(shot);
}

// Workers that are taking the shot keep their own copy of it: deleting never disturbs them.
// Its pictures stay, and belong to no shot from now on.
void ShotListPanel::deleteSelected() {
  const int row = selectedRow();
  if (row < 0) return;
  if (const ShotPtr shot = shotAt(row)) ShotStore::instance().remove(shot);
  ListView_DeleteItem(list(), row);
}
