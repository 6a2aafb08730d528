#pragma once
// The list view over the native common-controls list, always in virtual (owner-data) mode: the
// control keeps no items, only their number and their states, and asks the overridable steps
// for an item's text and image whenever it draws, finds or measures one.

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/Window.h"

enum class TViewStyle { Icon, SmallIcon, List, Report };
enum class TColumnAlignment { Left, Right };

// An item activated (double click or Enter): where, and the keys held.
struct TActivation {
  int Index = -1;
  int SubItem = 0;
  POINT Point{};
  bool Shift = false;
  bool Alt = false;
  bool Ctrl = false;
};

// One item or sub-item about to be drawn, for the custom-draw events: its place and state, and the
// colours it will be drawn in, which the event may change.
struct TListCustomDraw {
  HDC DC = nullptr;
  int Index = -1;
  int SubItem = 0;  // 0 for the item as a whole
  UINT State = 0;   // CDIS_ flags
  COLORREF TextColor = CLR_DEFAULT;
  COLORREF BackColor = CLR_DEFAULT;
};

class TCustomListView : public TWinControl {
 public:
  // Asked before an item and before each report sub-item is drawn; clearing `defaultDraw` leaves
  // the drawing to the event.
  std::function<void(TListCustomDraw& draw, bool& defaultDraw)> OnCustomDrawItem;
  std::function<void(TListCustomDraw& draw, bool& defaultDraw)> OnCustomDrawSubItem;

  // --- Items ---
  int ItemCount() const;
  // Sets the number of items; the control keeps its scroll position.
  void SetItemCount(int count);
  void EnsureVisible(int index);
  // Repaints the shown items.
  void Repaint();

  // --- Selection ---
  int SelectedCount() const;
  bool IsSelected(int index) const;
  void SetSelected(int index, bool selected);
  // The selected items, in order.
  std::vector<int> SelectedIndexes() const;
  // The item with the focus rectangle, -1 for none.
  int FocusedIndex() const;
  // Gives an item the focus rectangle (and makes it the anchor of keyboard selection).
  void SetFocusedIndex(int index);
  // Selects nothing.
  void ClearSelection();

  // Column widths scale with the rest.
  void ChangeDpi(TDpi dpi) override;

  // --- Columns (the report view's) ---
  int ColumnCount() const;
  void AddColumn(const std::string& caption, int width, TColumnAlignment alignment);
  void DeleteColumns();
  int ColumnWidth(int column) const;
  std::string ColumnCaption(int column) const;
  // Display order of the columns: order[i] is the column shown at place i.
  std::vector<int> ColumnOrder() const;
  void SetColumnOrder(const std::vector<int>& order);

  TViewStyle ViewStyle() const { return viewStyle_; }
  void SetViewStyle(TViewStyle style);
  // Image lists (not owned: the system's, for example, are shared).
  void SetImages(HIMAGELIST large, HIMAGELIST small);

  // Drawing is held back between the outermost BeginUpdate and its EndUpdate.
  void BeginUpdate();
  void EndUpdate();

  // Opens the label editor on an item.
  void EditLabel(int index);

  // The item at a client point, -1 for none.
  int ItemAt(POINT client) const;
  // The item marked as the target of a drag, -1 for none.
  int DropHighlighted() const noexcept { return dropHighlighted_; }
  void SetDropHighlighted(int index);

 protected:
  TCustomListView(TContainer& parent, const TBounds& layout);

  // The native window with the current view style, place and image lists. The constructor runs
  // the base version; a re-creation runs the derived one.
  virtual void CreateWnd();
  virtual void DestroyWnd();
  void RecreateWnd();

  LRESULT Notify(const NMHDR& header) override;

  // Steps the control runs.
  virtual std::string ItemText(int index, int subItem) = 0;
  virtual int ItemImage(int index) = 0;
  // Overlay image (1-based as the state mask counts; 0 for none).
  virtual int ItemOverlay(int /*index*/) { return 0; }
  // An item whose text contains (`partial`) or begins with `text`, from `start`, wrapping to 0
  // when `wrap`; -1 for none.
  virtual int FindText(const std::string& text, bool partial, int start, bool wrap) = 0;
  // The item whose data is `data`; -1 for none.
  virtual int FindData(LPARAM data) {
    (void)data;
    return -1;
  }
  // The selection of `first` to `last` changed; all items when first is -1.
  virtual void SelectionChanged(int first, int last) { (void)first, (void)last; }
  virtual void ColumnClick(int column) { (void)column; }
  virtual void ItemActivated(const TActivation& activation) { (void)activation; }
  virtual bool CanEdit(int index) {
    (void)index;
    return true;
  }
  // Draws over a report row's sub-item once the control has drawn it; false to ask for no
  // sub-item drawing at all (the default).
  virtual bool WantsSubItemDrawing() { return false; }
  virtual void DrawSubItem(HDC dc, int index, int subItem, const RECT& area) {
    (void)dc, (void)index, (void)subItem, (void)area;
  }
  // The user starts dragging `index` (a selected item) with the left or the right button.
  virtual void BeginDrag(int index, bool rightButton) { (void)index, (void)rightButton; }
  // Editing ended with `text` (not when cancelled); true keeps the text.
  virtual bool Edited(int index, const std::string& text) {
    (void)index, (void)text;
    return false;
  }
  // Editing ended with `typed`, which holds characters the code page lacks (`refused`); the item
  // keeps its text.
  virtual void EditRefused(int index, const std::wstring& typed,
                           const std::vector<char32_t>& refused) {
    (void)index, (void)typed, (void)refused;
  }

  LRESULT Perform(UINT message, WPARAM wParam, LPARAM lParam) const;

 private:
  void DisplayInfo(NMLVDISPINFOA& info);
  LRESULT FindItem(const NMLVFINDITEMA& find);
  LRESULT CustomDraw(NMLVCUSTOMDRAW& draw);
  // Runs a custom-draw event; false when it takes over the drawing.
  bool DrawsByDefault(const std::function<void(TListCustomDraw&, bool&)>& event,
                      NMLVCUSTOMDRAW& draw);

  TViewStyle viewStyle_ = TViewStyle::Icon;
  TBounds bounds_;
  HIMAGELIST large_ = nullptr;  // not owned
  HIMAGELIST small_ = nullptr;  // not owned
  int updateCount_ = 0;
  int dropHighlighted_ = -1;
};
