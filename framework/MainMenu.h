#pragma once
// The menu on a form's bar.

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/MenuItem.h"

class TMainMenu {
 public:
  TMainMenu();
  ~TMainMenu();
  TMainMenu(const TMainMenu&) = delete;
  TMainMenu& operator=(const TMainMenu&) = delete;

  // A menu on the bar.
  TMenuItem& Add(const std::string& caption);
  // The pictures of the items' imageIndex; not owned.
  void SetImages(const TImageList& images) { images_ = &images; }
  const TImageList* Images() const { return images_; }

  HMENU Handle() const { return handle_; }

  // For the form and the message loop.
  bool IsShortCut(const MSG& message);
  void Command(UINT id);
  void PopupOpening(HMENU popup);
  bool MeasureItem(MEASUREITEMSTRUCT& measure) const;
  bool DrawItem(const DRAWITEMSTRUCT& draw) const;

 private:
  friend class TForm;
  TMenuItem* Find(UINT id);

  HMENU handle_;
  HWND window_ = nullptr;  // the form whose bar shows the menu, taken off it before destruction
  const TImageList* images_ = nullptr;  // not owned
  std::vector<std::unique_ptr<TMenuItem>> items_;
};
