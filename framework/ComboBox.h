#pragma once
// A drop-down list: fixed (pick an entry) or editable (pick or type), or a fixed list whose rows
// the program draws itself, each row as high as the program measures it. What is typed or pasted
// into an editable one's field goes in exactly or not at all, as in a text field (TextIntake.h).

#include <functional>
#include <memory>
#include <string>

#include "framework/Window.h"

enum class TComboBoxStyle {
  DropDownList,       // fixed list, no typing
  DropDown,           // editable
  OwnerDrawVariable,  // fixed list of rows without text, measured and drawn by the program
};

// One row to draw, as the control asks for it.
struct TComboDrawItem {
  HDC Dc = nullptr;
  RECT Rect{};
  int Index = -1;  // -1: no row (an empty face)
  bool Selected = false;
  bool Focused = false;
  bool Face = false;  // the closed box's face rather than a row of the open list
};

class TComboField;

class TComboBox : public TWinControl {
 public:
  // The height follows the font, whatever `layout` says; the list drops down to show
  // DropDownCount entries.
  TComboBox(TContainer& parent, const TBounds& layout, TComboBoxStyle style);
  ~TComboBox() override;

  void ChangeDpi(TDpi dpi) override;

  void AddItem(const std::string& text);
  // Inserts an entry at `index` (the end for -1). Rows of an owner-drawn list carry no text.
  void InsertItem(int index, const std::string& text = {});
  void DeleteItem(int index);
  void Clear();
  int Count() const;
  std::string Item(int index) const;
  // The selected entry, -1 for none. For an editable list: the entry whose text the field shows
  // exactly, -1 while it shows typed text that matches no entry.
  int ItemIndex() const;
  // Selects an entry (-1: none) without running OnChange, as any change made by the program.
  void SetItemIndex(int index);
  // The height of a row (-1: the closed box's face).
  int ItemHeight(int index) const;

  // Rows shown by the open list (default 8); sets the height of the dropped list.
  int DropDownCount() const { return dropDownCount_; }
  void SetDropDownCount(int count);
  bool DroppedDown() const;

  // Drawing is held back between the outermost BeginUpdate and its EndUpdate.
  void BeginUpdate();
  void EndUpdate();

  // The user picked an entry or, in an editable list, changed the typed text.
  std::function<void()> OnChange;
  // Owner-drawn rows: the height of row `index` (-1: the face), preset to the control's.
  std::function<void(int index, int& height)> OnMeasureItem;
  std::function<void(const TComboDrawItem& item)> OnDrawItem;

 protected:
  // The native window with the current style, place and font, rows measured. The constructor
  // runs the base version; a re-creation runs the derived one.
  virtual void CreateWnd();
  // Deletes the rows with the window.
  virtual void DestroyWnd();
  // A new window in the old one's place, Tab order and focus; its rows are the derived class's
  // business.
  void RecreateWnd();

  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void Command(WORD code) override;
  void DrawItem(const DRAWITEMSTRUCT& draw) override;
  void MeasureItem(MEASUREITEMSTRUCT& measure) override;

  // Steps run by the control; each base version fires its event.
  virtual void Change();
  virtual void MeasureRow(int index, int& height);
  virtual void DrawRow(const TComboDrawItem& item);
  // Asks every row and the face for its height again (after the font changed, or once a derived
  // class that measures them is whole), and fits the dropped list to it.
  void MeasureRows();

 private:
  bool Editable() const;
  bool OwnerDrawn() const { return style_ == TComboBoxStyle::OwnerDrawVariable; }
  void FitHeight();

  TComboBoxStyle style_;
  TBounds bounds_;  // the window's place, kept for re-creation
  int dropDownCount_ = 8;
  int updateCount_ = 0;
  bool selecting_ = false;  // the field takes the picked entry's text: no second change event
  std::unique_ptr<TComboField> field_;  // an editable list's field
};
