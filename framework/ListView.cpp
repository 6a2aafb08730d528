#include "framework/ListView.h"

#include "framework/CodePage.h"
#include "framework/Container.h"

namespace {

DWORD ViewBits(TViewStyle style) {
  switch (style) {
    case TViewStyle::SmallIcon: return LVS_SMALLICON;
    case TViewStyle::List: return LVS_LIST;
    case TViewStyle::Report: return LVS_REPORT;
    default: return LVS_ICON;
  }
}

}  // namespace

TCustomListView::TCustomListView(TContainer& parent, const TBounds& layout)
    : TWinControl(parent, layout), bounds_(LaidBounds()) {
  CreateWnd();
}

LRESULT TCustomListView::Perform(UINT message, WPARAM wParam, LPARAM lParam) const {
  return SendMessageA(Handle(), message, wParam, lParam);
}

void TCustomListView::CreateWnd() {
  TCreateParams params;
  params.ClassName = WC_LISTVIEWA;
  // Shared image lists: the system's must never be destroyed with the control.
  params.Style = LVS_OWNERDATA | LVS_SHOWSELALWAYS | LVS_EDITLABELS | LVS_SHAREIMAGELISTS |
                 LVS_AUTOARRANGE | ViewBits(viewStyle_) | WS_TABSTOP;
  params.ExStyle = WS_EX_CLIENTEDGE;
  params.Bounds = bounds_;
  CreateHandle(params);
  Perform(LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_HEADERDRAGDROP, LVS_EX_HEADERDRAGDROP);
  // A virtual list keeps only the selection and the focus; the drop mark is answered on request.
  Perform(LVM_SETCALLBACKMASK, LVIS_DROPHILITED, 0);
  dropHighlighted_ = -1;
  SetImages(large_, small_);
}

void TCustomListView::DestroyWnd() {
  if (Handle()) DestroyWindow(Handle());
}

void TCustomListView::RecreateWnd() {
  if (!Handle()) return;
  bounds_ = Bounds();
  RemakeWindow([this] {
    DestroyWnd();
    CreateWnd();
  });
}

int TCustomListView::ItemCount() const { return static_cast<int>(Perform(LVM_GETITEMCOUNT, 0, 0)); }

void TCustomListView::SetItemCount(int count) {
  // The marked item may be another one now, or gone.
  dropHighlighted_ = -1;
  Perform(LVM_SETITEMCOUNT, static_cast<WPARAM>(count), LVSICF_NOSCROLL);
}

void TCustomListView::EnsureVisible(int index) {
  Perform(LVM_ENSUREVISIBLE, static_cast<WPARAM>(index), FALSE);
}

void TCustomListView::Repaint() { InvalidateRect(Handle(), nullptr, TRUE); }

int TCustomListView::SelectedCount() const {
  return static_cast<int>(Perform(LVM_GETSELECTEDCOUNT, 0, 0));
}

bool TCustomListView::IsSelected(int index) const {
  return (Perform(LVM_GETITEMSTATE, static_cast<WPARAM>(index), LVIS_SELECTED) & LVIS_SELECTED) !=
         0;
}

void TCustomListView::SetSelected(int index, bool selected) {
  LVITEMA item{};
  item.stateMask = LVIS_SELECTED;
  item.state = selected ? LVIS_SELECTED : 0;
  Perform(LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

std::vector<int> TCustomListView::SelectedIndexes() const {
  std::vector<int> indexes;
  for (int i = -1; (i = static_cast<int>(
                        Perform(LVM_GETNEXTITEM, static_cast<WPARAM>(i), LVNI_SELECTED))) >= 0;)
    indexes.push_back(i);
  return indexes;
}

int TCustomListView::FocusedIndex() const {
  return static_cast<int>(Perform(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
}

void TCustomListView::SetFocusedIndex(int index) {
  if (index < 0) return;
  LVITEMA item{};
  item.stateMask = LVIS_FOCUSED;
  item.state = LVIS_FOCUSED;
  Perform(LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
  Perform(LVM_SETSELECTIONMARK, 0, index);
}

void TCustomListView::ClearSelection() { SetSelected(-1, false); }

int TCustomListView::ColumnCount() const {
  HWND header = reinterpret_cast<HWND>(Perform(LVM_GETHEADER, 0, 0));
  return header ? static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

void TCustomListView::AddColumn(const std::string& caption, int width, TColumnAlignment alignment) {
  LVCOLUMNA column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
  column.fmt = alignment == TColumnAlignment::Right ? LVCFMT_RIGHT : LVCFMT_LEFT;
  column.cx = width;
  column.pszText = const_cast<char*>(caption.c_str());
  const int index = ColumnCount();
  Perform(LVM_INSERTCOLUMNA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column));
}

void TCustomListView::DeleteColumns() {
  for (int i = ColumnCount() - 1; i >= 0; --i) Perform(LVM_DELETECOLUMN, static_cast<WPARAM>(i), 0);
}

void TCustomListView::ChangeDpi(TDpi dpi) {
  const TDpi old = Dpi();
  TWinControl::ChangeDpi(dpi);
  // Widths the user may have dragged: each keeps its share of the text.
  for (int column = 0; column < ColumnCount(); ++column)
    Perform(LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column),
            MAKELPARAM(dpi.Scale(ColumnWidth(column), old), 0));
}

int TCustomListView::ColumnWidth(int column) const {
  return static_cast<int>(Perform(LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
}

std::string TCustomListView::ColumnCaption(int column) const {
  char buffer[256] = {};
  LVCOLUMNA info{};
  info.mask = LVCF_TEXT;
  info.pszText = buffer;
  info.cchTextMax = sizeof buffer;
  if (!Perform(LVM_GETCOLUMNA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&info)))
    return {};
  return buffer;
}

std::vector<int> TCustomListView::ColumnOrder() const {
  std::vector<int> order(static_cast<std::size_t>(ColumnCount()));
  if (!order.empty())
    Perform(LVM_GETCOLUMNORDERARRAY, order.size(), reinterpret_cast<LPARAM>(order.data()));
  return order;
}

void TCustomListView::SetColumnOrder(const std::vector<int>& order) {
  if (static_cast<int>(order.size()) != ColumnCount() || order.empty()) return;
  Perform(LVM_SETCOLUMNORDERARRAY, order.size(), reinterpret_cast<LPARAM>(order.data()));
}

void TCustomListView::SetViewStyle(TViewStyle style) {
  viewStyle_ = style;
  const DWORD current = static_cast<DWORD>(GetWindowLongA(Handle(), GWL_STYLE));
  SetWindowLongA(Handle(), GWL_STYLE,
                 static_cast<LONG>((current & ~LVS_TYPEMASK) | ViewBits(style)));
}

void TCustomListView::SetImages(HIMAGELIST large, HIMAGELIST small) {
  large_ = large;
  small_ = small;
  Perform(LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(large));
  Perform(LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(small));
}

void TCustomListView::BeginUpdate() {
  if (updateCount_++ == 0) Perform(WM_SETREDRAW, FALSE, 0);
}

void TCustomListView::EndUpdate() {
  if (updateCount_ == 0 || --updateCount_ > 0) return;
  Perform(WM_SETREDRAW, TRUE, 0);
  Repaint();
}

void TCustomListView::EditLabel(int index) {
  if (index < 0) return;
  ::SetFocus(Handle());
  // The Unicode request: for the ANSI one, Wine's list view gives its edit field an ANSI
  // procedure, which breaks every typed double-byte character in two. The end of the edit is
  // told in ANSI all the same.
  Perform(LVM_EDITLABELW, static_cast<WPARAM>(index), 0);
}

int TCustomListView::ItemAt(POINT client) const {
  LVHITTESTINFO hit{};
  hit.pt = client;
  const int index = static_cast<int>(Perform(LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  return index >= 0 && (hit.flags & LVHT_ONITEM) ? index : -1;
}

void TCustomListView::SetDropHighlighted(int index) {
  if (index == dropHighlighted_) return;
  for (int changed : {dropHighlighted_, index})
    if (changed >= 0) Perform(LVM_REDRAWITEMS, static_cast<WPARAM>(changed), changed);
  dropHighlighted_ = index;
}

void TCustomListView::DisplayInfo(NMLVDISPINFOA& info) {
  LVITEMA& item = info.item;
  if ((item.mask & LVIF_STATE) && (item.stateMask & LVIS_DROPHILITED) &&
      item.iItem == dropHighlighted_)
    item.state |= LVIS_DROPHILITED;
  if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0)
    lstrcpynA(item.pszText, ItemText(item.iItem, item.iSubItem).c_str(), item.cchTextMax);
  if (item.mask & LVIF_IMAGE) {
    item.iImage = ItemImage(item.iItem);
    if (const int overlay = ItemOverlay(item.iItem)) {
      item.mask |= LVIF_STATE;
      item.stateMask |= LVIS_OVERLAYMASK;
      item.state |= INDEXTOOVERLAYMASK(overlay);
    }
  }
}

LRESULT TCustomListView::FindItem(const NMLVFINDITEMA& find) {
  const LVFINDINFOA& info = find.lvfi;
  if (info.flags & LVFI_PARAM) return FindData(info.lParam);
  if (!(info.flags & (LVFI_STRING | LVFI_PARTIAL)) || !info.psz) return -1;
  return FindText(info.psz, (info.flags & LVFI_PARTIAL) != 0, find.iStart,
                  (info.flags & LVFI_WRAP) != 0);
}

bool TCustomListView::DrawsByDefault(const std::function<void(TListCustomDraw&, bool&)>& event,
                                     NMLVCUSTOMDRAW& draw) {
  if (!event) return true;
  TListCustomDraw info;
  info.DC = draw.nmcd.hdc;
  info.Index = static_cast<int>(draw.nmcd.dwItemSpec);
  info.SubItem = (draw.nmcd.dwDrawStage & CDDS_SUBITEM) ? draw.iSubItem : 0;
  info.State = draw.nmcd.uItemState;
  info.TextColor = draw.clrText;
  info.BackColor = draw.clrTextBk;
  bool defaultDraw = true;
  event(info, defaultDraw);
  draw.clrText = info.TextColor;
  draw.clrTextBk = info.BackColor;
  return defaultDraw;
}

LRESULT TCustomListView::CustomDraw(NMLVCUSTOMDRAW& draw) {
  const bool ownSubItems = WantsSubItemDrawing();
  const bool subItemStage = ownSubItems || OnCustomDrawSubItem;
  if (!subItemStage && !OnCustomDrawItem) return CDRF_DODEFAULT;
  switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT: return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
      if (!DrawsByDefault(OnCustomDrawItem, draw)) return CDRF_SKIPDEFAULT;
      return subItemStage ? CDRF_NOTIFYSUBITEMDRAW : CDRF_NEWFONT;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM:
      if (!DrawsByDefault(OnCustomDrawSubItem, draw)) return CDRF_SKIPDEFAULT;
      return ownSubItems ? CDRF_NOTIFYPOSTPAINT | CDRF_NEWFONT : CDRF_NEWFONT;
    case CDDS_ITEMPOSTPAINT | CDDS_SUBITEM: {
      const int index = static_cast<int>(draw.nmcd.dwItemSpec);
      RECT area{};
      area.top = draw.iSubItem;
      area.left = LVIR_BOUNDS;
      Perform(LVM_GETSUBITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&area));
      DrawSubItem(draw.nmcd.hdc, index, draw.iSubItem, area);
      return CDRF_DODEFAULT;
    }
    default: return CDRF_DODEFAULT;
  }
}

LRESULT TCustomListView::Notify(const NMHDR& header) {
  switch (header.code) {
    case NM_CUSTOMDRAW:
      return CustomDraw(*reinterpret_cast<NMLVCUSTOMDRAW*>(const_cast<NMHDR*>(&header)));
    case LVN_GETDISPINFOA:
      DisplayInfo(*reinterpret_cast<NMLVDISPINFOA*>(const_cast<NMHDR*>(&header)));
      return 0;
    case LVN_ODFINDITEMA: return FindItem(reinterpret_cast<const NMLVFINDITEMA&>(header));
    case LVN_ODFINDITEMW: {
      // Wine asks in UTF-16 even of a parent that takes ANSI notifications.
      const auto& wide = reinterpret_cast<const NMLVFINDITEMW&>(header);
      NMLVFINDITEMA find{};
      find.iStart = wide.iStart;
      find.lvfi.flags = wide.lvfi.flags;
      find.lvfi.lParam = wide.lvfi.lParam;
      std::string text;
      if (wide.lvfi.psz) {
        const int bytes =
            WideCharToMultiByte(CP_ACP, 0, wide.lvfi.psz, -1, nullptr, 0, nullptr, nullptr);
        text.resize(static_cast<std::size_t>(bytes > 0 ? bytes : 1));
        WideCharToMultiByte(CP_ACP, 0, wide.lvfi.psz, -1, text.data(), bytes, nullptr, nullptr);
        find.lvfi.psz = text.c_str();
      }
      return FindItem(find);
    }
    case LVN_ITEMCHANGED: {
      const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
      if ((change.uChanged & LVIF_STATE) && ((change.uNewState ^ change.uOldState) & LVIS_SELECTED))
        SelectionChanged(change.iItem, change.iItem);
      return 0;
    }
    case LVN_ODSTATECHANGED: {
      const auto& change = reinterpret_cast<const NMLVODSTATECHANGE&>(header);
      if ((change.uNewState ^ change.uOldState) & LVIS_SELECTED)
        SelectionChanged(change.iFrom, change.iTo);
      return 0;
    }
    case LVN_BEGINDRAG:
    case LVN_BEGINRDRAG:
      BeginDrag(reinterpret_cast<const NMLISTVIEW&>(header).iItem, header.code == LVN_BEGINRDRAG);
      return 0;
    case LVN_COLUMNCLICK:
      ColumnClick(reinterpret_cast<const NMLISTVIEW&>(header).iSubItem);
      return 0;
    case LVN_ITEMACTIVATE: {
      const auto& activate = reinterpret_cast<const NMITEMACTIVATE&>(header);
      TActivation activation;
      if (activate.iItem >= 0 && activate.iItem < ItemCount()) {
        activation.Index = activate.iItem;
        activation.SubItem = activate.iSubItem;
        activation.Point = activate.ptAction;
        activation.Shift = (activate.uKeyFlags & LVKF_SHIFT) != 0;
        activation.Alt = (activate.uKeyFlags & LVKF_ALT) != 0;
        activation.Ctrl = (activate.uKeyFlags & LVKF_CONTROL) != 0;
      } else {
        // Wine tells of an activation by Enter with a bare header: the item is the focused one,
        // the keys those held now.
        activation.Index = FocusedIndex();
        activation.Shift = GetKeyState(VK_SHIFT) < 0;
        activation.Alt = GetKeyState(VK_MENU) < 0;
        activation.Ctrl = GetKeyState(VK_CONTROL) < 0;
      }
      ItemActivated(activation);
      return 0;
    }
    case LVN_KEYDOWN:
      // The native control has no F2 of its own.
      if (reinterpret_cast<const NMLVKEYDOWN&>(header).wVKey == VK_F2) EditLabel(FocusedIndex());
      return 0;
    case LVN_BEGINLABELEDITA:
      return CanEdit(reinterpret_cast<const NMLVDISPINFOA&>(header).item.iItem) ? FALSE : TRUE;
    case LVN_ENDLABELEDITA: {
      const LVITEMA& item = reinterpret_cast<const NMLVDISPINFOA&>(header).item;
      if (!item.pszText) return FALSE;
      // The field still holds the text as typed; the notification's is the system's look-alike.
      const HWND field = reinterpret_cast<HWND>(Perform(LVM_GETEDITCONTROL, 0, 0));
      const std::wstring typed = field ? WideTextOf(field) : AnsiToWide(item.pszText);
      const TCodePageText text = ToCodePage(typed);
      if (!text.Exact()) {
        EditRefused(item.iItem, typed, text.Refused);
        return FALSE;
      }
      return Edited(item.iItem, text.Text) ? TRUE : FALSE;
    }
    default: return TWinControl::Notify(header);
  }
}
