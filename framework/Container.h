#pragma once
// A window of this layer's own class that holds other controls (form, group box): it fills its
// background with its colour, paints its graphic controls, and routes the mouse to them.

#include <optional>
#include <vector>

#include "framework/Graphics.h"
#include "framework/Window.h"

class TGraphicControl;

class TContainer : public TWinControl {
 public:
  ~TContainer() override;

  // The background colour; until one is set, the parent's (the button face for a form).
  TColor Color() const;
  void SetColor(TColor color);

  // Its own place and font, then those of every control inside it.
  void ChangeDpi(TDpi dpi) override;

 protected:
  // A top-level window (`parent` null) ...
  explicit TContainer(TContainer* parent);
  // ... or a child at `layout`, its place in the parent at 96 DPI.
  TContainer(TContainer& parent, const TBounds& layout);

  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  // Paints what lies under the graphic controls: by default the background colour.
  virtual void PaintBackground(HDC dc, const RECT& client) const;

  static constexpr const char* kClassName = "TessarinContainer";

 private:
  friend class TGraphicControl;
  void Add(TGraphicControl* control);
  void Remove(TGraphicControl* control);
  void Paint();
  // Paints `part` of the client area into `dc`, clipped to it.
  void PaintPart(HDC dc, const RECT& part, const RECT& client) const;
  TGraphicControl* ControlAt(POINT point) const;
  void MouseMoved(POINT point);
  void SetHover(TGraphicControl* control);

  std::optional<TColor> color_;
  std::vector<TGraphicControl*> graphics_;  // not owned: the form owns them, in paint order
  TGraphicControl* hover_ = nullptr;
  TGraphicControl* pressed_ = nullptr;
  bool trackingLeave_ = false;
};
