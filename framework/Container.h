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

 protected:
  explicit TContainer(TContainer* parent);

  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  // Paints what lies under the graphic controls: by default the background colour.
  virtual void PaintBackground(HDC dc, const RECT& client) const;

  static constexpr const char* kClassName = "TessarinContainer";

 private:
  friend class TGraphicControl;
  void Add(TGraphicControl* control);
  void Remove(TGraphicControl* control);
  void Paint();
  TGraphicControl* ControlAt(POINT point) const;
  void MouseMoved(POINT point);
  void SetHover(TGraphicControl* control);

  std::optional<TColor> color_;
  std::vector<TGraphicControl*> graphics_;  // not owned: the form owns them, in paint order
  TGraphicControl* hover_ = nullptr;
  TGraphicControl* pressed_ = nullptr;
  bool trackingLeave_ = false;
};
