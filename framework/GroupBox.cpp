#include "framework/GroupBox.h"

#include "framework/DeviceContext.h"

TGroupBox::TGroupBox(TContainer& parent, const TBounds& layout, const std::string& caption)
    : TContainer(parent, layout) {
  RegisterOwnClass(kClassName, CS_HREDRAW | CS_VREDRAW, LoadCursorA(nullptr, IDC_ARROW));
  CreateHandle(
      {kClassName, caption, WS_CLIPCHILDREN | WS_CLIPSIBLINGS, WS_EX_CONTROLPARENT, LaidBounds()});
}

void TGroupBox::PaintBackground(HDC dc, const RECT& client) const {
  TContainer::PaintBackground(dc, client);
  const TSavedDCState state(dc);
  SelectObject(dc, Font().Handle());
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc, &metrics);
  // The frame runs through the middle of the caption's line.
  RECT frame = client;
  frame.top = metrics.tmHeight / 2 - 1;
  DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
  const std::string caption = Text();
  if (!caption.empty()) {
    RECT text{8, 0, client.right - 8, metrics.tmHeight};
    SetBkColor(dc, Color().Ref());
    SetBkMode(dc, OPAQUE);
    SetTextColor(dc, GetSysColor(Enabled() ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
    DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
              DT_SINGLELINE | DT_NOCLIP);
  }
}
