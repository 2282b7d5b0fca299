#pragma once
// The list of shots inside the main window: one row per shot with its name, whether it takes
// part in Automatic Mode, and a check box that switches that.
#include <windows.h>
// After windows.h, which it builds on.
#include <commctrl.h>

#include <functional>

#include "shots/shot_store.h"
#include "ui/base_dialog.h"

class ShotListPanel : public BaseDialog {
 public:
  static ShotListPanel& instance();
  static void release();

  // Makes the panel from its dialog template as a child of `parentWindow`, at (10, 70) at
  // 96 dpi, scaled to the window's monitor.
  void create(HINSTANCE module, HWND parentWindow);

  // Rebuilds every row from the store, on the panel's own thread.
  void fill();
  // Has the panel's own thread rebuild the rows; for the other threads (an overlay that saved a
  // shot), which never touch the panel object, since it may go at any time.
  static void requestFill();

  // What Edit Shot (and a double click on a row) does with the row's shot.
  void setEditor(std::function<void(const ShotPtr&)> edit) { edit_ = std::move(edit); }

  // The commands on the selected row; nothing when no row is selected.
  void takeSelected() const;
  void editSelected() const;
  void deleteSelected();

  // Places and sizes the panel and its columns for `dpi`.
  void applyDpi(UINT dpi);

  HWND window() const { return dialog_; }
  HWND list() const;

 private:
  ShotListPanel() = default;
  ~ShotListPanel();

  INT_PTR handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void onInitDialog() override;
  void onNotify(const NMHDR& header);
  void onItemChanged(const NMLISTVIEW& change);
  void onDoubleClick(const NMITEMACTIVATE& click) const;
  void fillNow();
  void addRow(int position, const ShotDefinition& shot);
  // The stored shot a row shows; null when the row has none or its shot was deleted. Rows
  // keep the shot's uid, never the record itself.
  ShotPtr shotAt(int row) const;
  // The row at the selection mark, or -1.
  int selectedRow() const;

  std::function<void(const ShotPtr&)> edit_;
  // Set while fill() itself sets the rows' check boxes.
  bool filling_ = false;
};
