#pragma once
// For tests that show a popup menu on their own thread: a timer that runs inside the menu's modal
// loop reads the shown menu, then chooses an item by arrow keys and Enter, as a user does, or
// closes the menu with EndMenu.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

struct TShownMenuItem {
  UINT Id = 0;  // 0 for a separator; -1 for an item with a sub-menu
  UINT Type = 0;  // MFT_ bits
  UINT State = 0;  // MFS_ bits
  std::string Text;
};

class TMenuChooser {
 public:
  // `choose` gets the items of the menu when it shows and answers the id to choose; 0 closes the
  // menu without a choice. One chooser at a time.
  explicit TMenuChooser(std::function<UINT(const std::vector<TShownMenuItem>&)> choose, char typed = 0);
  ~TMenuChooser();
  TMenuChooser(const TMenuChooser&) = delete;
  TMenuChooser& operator=(const TMenuChooser&) = delete;

  // Closes the next menu without a choice.
  static TMenuChooser Closing();
  // Chooses the item with this id.
  static TMenuChooser Choosing(UINT id);
  // Types a character into the menu (a mnemonic).
  static TMenuChooser Typing(char key);

  bool MenuShown() const { return !items_.empty(); }
  // The choice has been made (or the menu closed).
  bool Done() const { return done_; }
  const std::vector<TShownMenuItem>& Items() const { return items_; }

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
  void Step();

  std::function<UINT(const std::vector<TShownMenuItem>&)> choose_;
  std::vector<TShownMenuItem> items_;
  HMENU menu_ = nullptr;
  UINT target_ = 0;
  char typed_ = 0;
  UINT_PTR timer_ = 0;
  int keys_ = 0;
  bool done_ = false;
};

// The id of the first item whose text contains `part`; 0 for none.
UINT IdOfItemWith(const std::vector<TShownMenuItem>& items, const std::string& part);
