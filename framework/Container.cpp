#include "framework/Container.h"

#include <windowsx.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "framework/DeviceContext.h"
#include "framework/GraphicControl.h"

namespace {

bool Contains(const TBounds& b, POINT p) {
  return p.x >= b.Left && p.x < b.Left + b.Width && p.y >= b.Top && p.y < b.Top + b.Height;
}

POINT PointOf(LPARAM lParam) { return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

// One off-screen bitmap for every container of the thread, kept from one painting to the next and
// grown as needed. Under Wine, making a memory DC and a bitmap for each painting costs more than
// painting the one label that changed.
class TPaintBuffer {
 public:
  // A memory DC holding a bitmap of at least `width` x `height`, which may hold an earlier
  // painting; nullptr when none can be made.
  HDC Get(HDC compatible, int width, int height) {
    if (!dc_) return nullptr;
    if (width > width_ || height > height_) {
      const int newWidth = std::max(width, width_), newHeight = std::max(height, height_);
      TGdiObjectPtr<HBITMAP> bigger(CreateCompatibleBitmap(compatible, newWidth, newHeight));
      if (!bigger) return nullptr;
      SelectObject(dc_.Get(), bigger.get());
      bitmap_ = std::move(bigger);
      width_ = newWidth, height_ = newHeight;
    }
    return dc_.Get();
  }

 private:
  TGdiObjectPtr<HBITMAP> bitmap_;  // deleted after the DC that holds it
  TMemoryDC dc_{nullptr};          // compatible with the screen, as every window is
  int width_ = 0;
  int height_ = 0;
};

// The parts of `window` waiting to be painted, read before BeginPaint takes them; nothing when
// they are one rectangle or too many to be worth painting one by one.
std::vector<RECT> UpdateParts(HWND window) {
  constexpr DWORD kMostParts = 8;
  const TGdiObjectPtr<HRGN> region(CreateRectRgn(0, 0, 0, 0));
  if (!region || GetUpdateRgn(window, region.get(), FALSE) != COMPLEXREGION) return {};
  const DWORD bytes = GetRegionData(region.get(), 0, nullptr);
  std::vector<DWORD> data((bytes + sizeof(DWORD) - 1) / sizeof(DWORD));
  auto* parts = reinterpret_cast<RGNDATA*>(data.data());
  if (bytes == 0 || GetRegionData(region.get(), bytes, parts) == 0 ||
      parts->rdh.nCount > kMostParts) {
    return {};
  }
  const auto* first = reinterpret_cast<const RECT*>(parts->Buffer);
  return {first, first + parts->rdh.nCount};
}

}  // namespace

TContainer::TContainer(TContainer* parent) : TWinControl(parent) {}

TContainer::TContainer(TContainer& parent, const TBounds& layout) : TWinControl(parent, layout) {}

TContainer::~TContainer() = default;

TColor TContainer::Color() const {
  if (color_) return *color_;
  if (Parent()) return Parent()->Color();
  return TColor::System(COLOR_BTNFACE);
}

void TContainer::SetColor(TColor color) {
  color_ = color;
  // Children that paint with the parent's colour follow it.
  RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void TContainer::ChangeDpi(TDpi dpi) {
  TWinControl::ChangeDpi(dpi);
  for (TGraphicControl* control : graphics_) control->ChangeDpi();
  std::vector<TWinControl*> children;
  for (HWND child = GetWindow(Handle(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    if (TWinControl* control = FromHandle(child)) children.push_back(control);
  for (TWinControl* control : children) control->ChangeDpi(dpi);
  InvalidateRect(Handle(), nullptr, FALSE);
}

void TContainer::Add(TGraphicControl* control) { graphics_.push_back(control); }

void TContainer::Remove(TGraphicControl* control) {
  std::erase(graphics_, control);
  if (hover_ == control) hover_ = nullptr;
  if (pressed_ == control) pressed_ = nullptr;
}

LRESULT TContainer::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND: return 1;  // WM_PAINT paints everything, through a memory bitmap
    case WM_PAINT: Paint(); return 0;
    case WM_MOUSEMOVE: MouseMoved(PointOf(lParam)); break;
    case WM_MOUSELEAVE:
      trackingLeave_ = false;
      SetHover(nullptr);
      return 0;
    case WM_LBUTTONDOWN: {
      TGraphicControl* control = ControlAt(PointOf(lParam));
      pressed_ = control && control->Enabled() ? control : nullptr;
      if (pressed_) SetCapture(Handle());
      break;
    }
    case WM_LBUTTONUP: {
      TGraphicControl* pressed = std::exchange(pressed_, nullptr);
      if (GetCapture() == Handle()) ReleaseCapture();
      if (pressed && ControlAt(PointOf(lParam)) == pressed && pressed->OnClick) pressed->OnClick();
      break;
    }
    case WM_SETCURSOR: {
      if (reinterpret_cast<HWND>(wParam) != Handle() || LOWORD(lParam) != HTCLIENT) break;
      POINT p{};
      GetCursorPos(&p);
      ScreenToClient(Handle(), &p);
      TGraphicControl* control = ControlAt(p);
      if (!control || control->Cursor() == TCursor::Default) break;
      ::SetCursor(LoadCursorA(nullptr, IDC_HAND));
      return TRUE;
    }
    default: break;
  }
  return TWinControl::WndProc(message, wParam, lParam);
}

void TContainer::PaintBackground(HDC dc, const RECT& client) const {
  FillRect(dc, &client, TBrush(Color()).Handle());
}

void TContainer::Paint() {
  // Two labels that changed far apart are painted as two small parts, not as the box around both
  // and all that lies between them.
  std::vector<RECT> parts = UpdateParts(Handle());
  const TPaintScope paint(Handle());
  const RECT& dirty = paint.Area();
  if (IsRectEmpty(&dirty)) return;
  if (parts.empty()) parts = {dirty};
  RECT client{};
  GetClientRect(Handle(), &client);
  // Painted off the screen, then copied at once: nothing flickers. Only what is to be painted,
  // which is mostly one label that changed.
  thread_local TPaintBuffer buffer;
  HDC dc = buffer.Get(paint.Dc(), dirty.right, dirty.bottom);
  if (!dc) return;
  for (const RECT& part : parts) {
    PaintPart(dc, part, client);
    BitBlt(paint.Dc(), part.left, part.top, part.right - part.left, part.bottom - part.top, dc,
           part.left, part.top, SRCCOPY);
  }
}

void TContainer::PaintPart(HDC dc, const RECT& part, const RECT& client) const {
  const TSavedDCState state(dc);
  IntersectClipRect(dc, part.left, part.top, part.right, part.bottom);
  PaintBackground(dc, client);
  for (const TGraphicControl* control : graphics_) {
    const TBounds& b = control->Bounds();
    RECT area{b.Left, b.Top, b.Left + b.Width, b.Top + b.Height};
    RECT visible{};
    if (!control->Visible() || !IntersectRect(&visible, &area, &part)) continue;
    const TSavedDCState controlState(dc);
    IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
    control->Paint(dc, area);
  }
}

TGraphicControl* TContainer::ControlAt(POINT point) const {
  // The last painted lies on top.
  for (auto it = graphics_.rbegin(); it != graphics_.rend(); ++it)
    if ((*it)->Visible() && Contains((*it)->Bounds(), point)) return *it;
  return nullptr;
}

void TContainer::MouseMoved(POINT point) {
  SetHover(ControlAt(point));
  if (trackingLeave_) return;
  TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, Handle(), 0};
  trackingLeave_ = TrackMouseEvent(&track) != FALSE;
}

void TContainer::SetHover(TGraphicControl* control) {
  if (control == hover_) return;
  TGraphicControl* left = std::exchange(hover_, control);
  if (left && left->OnMouseLeave) left->OnMouseLeave();
  if (control && control->OnMouseEnter) control->OnMouseEnter();
}
