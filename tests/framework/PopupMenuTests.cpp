// The framework's popup menu with owner-drawn items (it has an image list): chosen by arrow keys or
// by a mnemonic, which the system leaves to the menu's owner for such items.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/Application.h"
#include "framework/PopupMenu.h"
#include "tests/framework/FrameworkFixture.h"
#include "tests/support/MenuChooser.h"

namespace {

class FrameworkPopupMenu : public FrameworkFormTest {};

TEST_F(FrameworkPopupMenu, OwnerDrawnItemsRunByArrowKeysOrTheirMnemonicAndShowTheirHints) {
  TImageList images(16, 16);
  TPopupMenu menu(FormPopupOwner(&form_));
  menu.SetImages(&images);
  std::vector<std::string> clicked;
  for (const char* caption : {"&Open", "-", "&Save"}) {
    TMenuItem& item = menu.Add(caption);
    item.Hint = std::string("hint of ") + caption;
    item.OnClick = [&clicked, caption] { clicked.push_back(caption); };
  }
  menu.Add("&Hidden").Visible = false;
  {
    TMenuChooser chooser = TMenuChooser::Choosing(menu.Items(2).Command());
    menu.Popup(100, 100);
    ASSERT_EQ(chooser.Items().size(), 3u);
    EXPECT_NE(chooser.Items()[0].Type & MFT_OWNERDRAW, 0u);
  }
  EXPECT_EQ(Application().Hint(), "hint of &Save");
  {
    TMenuChooser chooser = TMenuChooser::Typing('o');
    menu.Popup(100, 100);
    EXPECT_TRUE(chooser.MenuShown());
  }
  EXPECT_EQ(clicked, (std::vector<std::string>{"&Save", "&Open"}));
}

}  // namespace
