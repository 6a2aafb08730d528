// The shell popup menu: merging its own items with a shell menu object and mapping the choice,
// against a menu object of the test's own (which records what it is asked) and against Wine's real
// menu for a real folder. Choices are made inside the menu's loop, by arrow keys and Enter.

#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "framework/Application.h"
#include "framework/Form.h"
#include "shell/ShellPopupMenu.h"
#include "shell/ShellUtils.h"
#include "tests/support/MenuChooser.h"
#include "tests/support/MessageBoxCloser.h"
#include "tests/support/ScratchFolder.h"

namespace {

// A shell menu object with `count` commands, "shell 0" to "shell n-1", that records its calls.
class TFakeContextMenu : public IContextMenu3 {
 public:
  UINT count = 30;
  UINT renameOffset = static_cast<UINT>(-1);  // the command whose verb is "rename"
  HRESULT invokeResult = S_OK;
  UINT position = 0, first = 0, last = 0, flags = 0;
  std::vector<UINT> invoked;  // command offsets
  std::vector<UINT> helpAsked;
  std::vector<UINT> messages, oldInterfaceMessages;  // menu messages handed on
  bool failQuery = false;
  LONG references = 1;

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    *out = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IContextMenu) ||
        IsEqualIID(iid, IID_IContextMenu2) || IsEqualIID(iid, IID_IContextMenu3))
      *out = static_cast<IContextMenu3*>(this);
    else
      return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++references); }
  STDMETHODIMP_(ULONG) Release() override { return static_cast<ULONG>(--references); }

  STDMETHODIMP QueryContextMenu(HMENU menu, UINT index, UINT firstId, UINT lastId,
                                UINT queryFlags) override {
    position = index;
    first = firstId;
    last = lastId;
    flags = queryFlags;
    if (failQuery) return E_FAIL;
    // The last command is drawn by the shell, as its "Send to" items are.
    for (UINT offset = 0; offset < count; ++offset)
      InsertMenuA(menu, index + offset,
                  MF_BYPOSITION | (offset + 1 < count ? MF_STRING : MF_OWNERDRAW), firstId + offset,
                  ("shell " + std::to_string(offset)).c_str());
    return MAKE_HRESULT(SEVERITY_SUCCESS, 0, count);
  }
  STDMETHODIMP InvokeCommand(CMINVOKECOMMANDINFO* info) override {
    EXPECT_EQ(info->cbSize, 36u);
    EXPECT_EQ(info->nShow, SW_SHOWNORMAL);
    if (IS_INTRESOURCE(info->lpVerb))
      invoked.push_back(LOWORD(reinterpret_cast<UINT_PTR>(info->lpVerb)));
    return invokeResult;
  }
  STDMETHODIMP GetCommandString(UINT_PTR command, UINT type, UINT*, LPSTR name,
                                UINT size) override {
    std::string text;
    if (type == GCS_HELPTEXTA) {
      helpAsked.push_back(static_cast<UINT>(command));
      text = "help " + std::to_string(command);
    } else if (type == GCS_VERBA && command == renameOffset) {
      text = "rename";
    } else {
      return E_NOTIMPL;
    }
    lstrcpynA(name, text.c_str(), static_cast<int>(size));
    return S_OK;
  }
  STDMETHODIMP HandleMenuMsg(UINT message, WPARAM, LPARAM) override {
    oldInterfaceMessages.push_back(message);
    return S_OK;
  }
  STDMETHODIMP HandleMenuMsg2(UINT message, WPARAM, LPARAM lParam, LRESULT* result) override {
    messages.push_back(message);
    if (message == WM_MEASUREITEM) {
      auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
      measure->itemWidth = 40;
      measure->itemHeight = 16;
    }
    if (result) *result = 0;
    return S_OK;
  }
};

class TTestShellPopupMenu : public TShellPopupMenu {
 public:
  using TShellPopupMenu::TShellPopupMenu;
  TFakeContextMenu* fake = nullptr;  // not owned; none: Wine's real menu object
  int queries = 0;

 protected:
  bool QueryMenuObject(IShellFolder& parent, HWND owner, TShellIDList& items,
                       TComPtr<IContextMenu>& menu) override {
    ++queries;
    if (!fake) return TShellPopupMenu::QueryMenuObject(parent, owner, items, menu);
    menu = fake;
    return true;
  }
};

class ShellPopupMenuTest : public testing::Test {
 protected:
  ShellPopupMenuTest()
      : form_("ShellPopupMenuTest", TBorderStyle::Single),
        scratch_("popup"),
        popup_(TPopupOwner{[this] { return form_.Handle(); },
                           [this](const std::string& hint) { hints_.push_back(hint); }}) {
    form_.Show();
    folder_ = scratch_.MakeFolder("victim");
    IDListFromPath(scratch_.Path(), parent_.Out());
    TShIDListPtr absolute;
    IDListFromPath(folder_, absolute.Out());
    child_.Attach(CopyLastItemID(absolute.Get()));
    items_.SetParentIDList(parent_.Get());
    items_.Add(child_.Get());
    popup_.fake = &fake_;
  }

  int Show(TMenuChooser& chooser) {
    const int result = popup_.PopupShellMenu(items_, POINT{120, 120});
    EXPECT_TRUE(chooser.MenuShown());
    return result;
  }

  TForm form_;
  TScratchFolder scratch_;
  std::string folder_;
  TShIDListPtr parent_;
  TShIDListPtr child_;
  TShellIDList items_;
  TFakeContextMenu fake_;
  std::vector<std::string> hints_;  // as the owner was told them
  TTestShellPopupMenu popup_;
};

TEST_F(ShellPopupMenuTest, WithoutOwnItemsAShellCommandAnswersItsOffsetPlusOne) {
  {
    TMenuChooser chooser = TMenuChooser::Choosing(3);
    EXPECT_EQ(Show(chooser), 3);
    EXPECT_EQ(fake_.position, 0u);
    EXPECT_EQ(fake_.first, 1u);
    EXPECT_EQ(fake_.last, 0x7FFFu);
    EXPECT_EQ(fake_.flags, static_cast<UINT>(CMF_EXPLORE));  // read-only: no renaming offered
    EXPECT_EQ(fake_.invoked, std::vector<UINT>{2});
    // The first shell item is the default; the highlighted items' help texts were asked for.
    EXPECT_NE(chooser.Items()[0].State & MFS_DEFAULT, 0u);
    EXPECT_NE(std::find(fake_.helpAsked.begin(), fake_.helpAsked.end(), 2u), fake_.helpAsked.end());
    // Each highlight clears the hint, then shows the item's help.
    ASSERT_GE(hints_.size(), 2u);
    EXPECT_EQ(hints_.front(), " ");
    EXPECT_NE(std::find(hints_.begin(), hints_.end(), "help 2"), hints_.end());
    // The shell's menu opening and its drawn item go to the shell, through its newest interface.
    for (UINT message : {WM_INITMENUPOPUP, WM_MEASUREITEM, WM_DRAWITEM})
      EXPECT_NE(std::find(fake_.messages.begin(), fake_.messages.end(), message),
                fake_.messages.end())
          << message;
    EXPECT_TRUE(fake_.oldInterfaceMessages.empty());
  }
  // Renaming is the caller's: offset 18, or wherever the shell's "rename" verb stands.
  popup_.ReadOnly = false;
  popup_.ContextType = shctNormal;
  fake_.renameOffset = 25;
  for (UINT chosen : {19u, 26u}) {
    TMenuChooser chooser = TMenuChooser::Choosing(chosen);
    EXPECT_EQ(Show(chooser), kShellRenameChosen);
  }
  EXPECT_EQ(fake_.flags, static_cast<UINT>(CMF_NORMAL | CMF_CANRENAME));
  EXPECT_EQ(fake_.invoked, std::vector<UINT>{2});
  {
    // A command that fails did not happen; nothing chosen is nothing either.
    fake_.invokeResult = E_FAIL;
    TMenuChooser chooser = TMenuChooser::Choosing(5);
    EXPECT_EQ(Show(chooser), 0);
    TMenuChooser closing = TMenuChooser::Closing();
    EXPECT_EQ(Show(closing), 0);
  }
  EXPECT_EQ(fake_.references, 1);
}

TEST_F(ShellPopupMenuTest, OwnItemsComeFirstAndOnlyTheyFireTheAfterPopupEvent) {
  int clicked = 0;
  std::vector<TMenuItem*> after;
  TMenuItem& alpha = popup_.Add("&Alpha");
  alpha.OnClick = [&] { ++clicked; };
  popup_.Add("-");
  popup_.Add("Hidden").Visible = false;
  TMenuItem& sub = popup_.Add("Sub");
  sub.Add("Inner");
  popup_.OnShAfterPopup = [&](TShellPopupMenu&, TMenuItem& item, TShellIDList& list) {
    EXPECT_EQ(&list, &items_);
    after.push_back(&item);
  };
  popup_.SetInsertPos(10);
  EXPECT_EQ(popup_.InsertPos(), 4u);  // lowered to the number of own items

  {
    TMenuChooser chooser = TMenuChooser::Choosing(alpha.Command());
    EXPECT_EQ(Show(chooser), static_cast<int>(alpha.Command()));
    EXPECT_EQ(clicked, 1);
    EXPECT_EQ(after, std::vector<TMenuItem*>{&alpha});
    // The invisible item is left out, "-" is a separator, the sub-menu is the item's own; the
    // shell's commands start above every own id, sub-items' included.
    const auto& shown = chooser.Items();
    ASSERT_GE(shown.size(), 4u);
    EXPECT_EQ(shown[0].Text, "&Alpha");
    EXPECT_NE(shown[1].Type & MFT_SEPARATOR, 0u);
    EXPECT_EQ(shown[2].Text, "Sub");
    EXPECT_EQ(shown[3].Text, "shell 0");
    EXPECT_EQ(fake_.position, 4u);  // the hidden item counts: the shell's items follow all shown
    EXPECT_EQ(fake_.first, sub.Items(0).Command() + 1);
    EXPECT_TRUE(fake_.invoked.empty());
  }
  {
    TMenuChooser chooser = TMenuChooser::Choosing(fake_.first + 1);
    EXPECT_EQ(Show(chooser), 2);
    EXPECT_EQ(after.size(), 1u);
  }
  EXPECT_NE(IsMenu(sub.SubMenu()), FALSE);  // taken back before the shown menu was destroyed
}

TEST_F(ShellPopupMenuTest, ShellItemsGoInNoFurtherThanTheHighestOwnCommand) {
  for (int i = 0; i < 10; ++i) popup_.Add("item " + std::to_string(i)).Visible = i < 7;
  popup_.SetInsertPos(10);
  TMenuChooser chooser = TMenuChooser::Closing();
  EXPECT_EQ(Show(chooser), 0);
  EXPECT_EQ(popup_.InsertPos(), 10u);
  EXPECT_EQ(fake_.position, 7u);
}

TEST_F(ShellPopupMenuTest, ABeforePopupRefusalOrNoItemsShowNothing) {
  POINT seen{};
  popup_.OnShBeforPopup = [&](TShellPopupMenu&, TShellIDList&, POINT pt, bool& allow) {
    seen = pt;
    allow = false;
  };
  EXPECT_EQ(popup_.PopupShellMenu(items_, POINT{120, 130}), 0);
  EXPECT_EQ(seen.y, 130);
  TShellIDList none;
  popup_.OnShBeforPopup = nullptr;
  EXPECT_EQ(popup_.PopupShellMenu(none, POINT{120, 130}), 0);
  EXPECT_EQ(popup_.queries, 0);
  // A shell that cannot make its menu: none is shown.
  fake_.failQuery = true;
  EXPECT_EQ(popup_.PopupShellMenu(items_, POINT{120, 130}), 0);
  EXPECT_EQ(popup_.queries, 1);
}

// --- Wine's real menu ---------------------------------------------------------------------------

TEST_F(ShellPopupMenuTest, WinesMenuForAFolderRenamesThroughTheCallerAndDeletes) {
  popup_.fake = nullptr;
  {
    // Read-only: Wine offers no renaming.
    TMenuChooser chooser = TMenuChooser::Closing();
    EXPECT_EQ(Show(chooser), 0);
    EXPECT_EQ(IdOfItemWith(chooser.Items(), "名前の変更"), 0u);
    EXPECT_NE(IdOfItemWith(chooser.Items(), "削除"), 0u);
  }
  // Wine offers renaming only in the normal menu, at its own offset: its verb gives it away.
  popup_.ReadOnly = false;
  popup_.ContextType = shctNormal;
  {
    TMenuChooser chooser(
        [](const std::vector<TShownMenuItem>& items) { return IdOfItemWith(items, "名前の変更"); });
    EXPECT_EQ(Show(chooser), kShellRenameChosen);
    EXPECT_TRUE(FolderExists(folder_));
  }
  {
    // Wine asks before deleting.
    TMessageBoxCloser yes(IDYES);
    TMenuChooser chooser(
        [](const std::vector<TShownMenuItem>& items) { return IdOfItemWith(items, "削除"); });
    EXPECT_EQ(Show(chooser), kShellDeleteDone);
    EXPECT_FALSE(FolderExists(folder_));
    EXPECT_EQ(yes.Texts().size(), 1u);
  }
}

}  // namespace
