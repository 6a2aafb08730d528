#pragma once
// A drop-down list: fixed (pick an entry) or editable (pick or type).

#include <functional>
#include <string>

#include "framework/Window.h"

enum class TComboBoxStyle {
  DropDownList,  // fixed list, no typing
  DropDown,      // editable
};

class TComboBox : public TWinControl {
 public:
  // The height follows the font; the list drops down to show up to eight entries.
  TComboBox(TContainer& parent, int left, int top, int width, TComboBoxStyle style);

  void AddItem(const std::string& text);
  void Clear();
  int Count() const;
  std::string Item(int index) const;
  // The selected entry, -1 for none. For an editable list: the entry whose text the field shows
  // exactly, -1 while it shows typed text that matches no entry.
  int ItemIndex() const;
  // Selects an entry (-1: none) without running OnChange, as any change made by the program.
  void SetItemIndex(int index);

  // The user picked an entry or, in an editable list, changed the typed text.
  std::function<void()> OnChange;

 protected:
  void Command(WORD code) override;

 private:
  bool Editable() const;

  bool selecting_ = false;  // the field takes the picked entry's text: no second change event
};
