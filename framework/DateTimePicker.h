#pragma once
// A date field in the system's long date form with a drop-down month calendar; a date only. Its
// weekday is written short (2026年12月10日木), so that the whole date shows in a field of the
// layout's width, and its calendar button grows with the DPI as everything else does.

#include <functional>

#include "framework/Window.h"

class TDateTimePicker : public TWinControl {
 public:
  TDateTimePicker(TContainer& parent, const TBounds& layout);

  SYSTEMTIME Date() const;
  // The shown date; changes made by the program do not run OnChange.
  void SetDate(const SYSTEMTIME& date);
  // Background of the drop-down calendar's title.
  void SetCalendarTitleColor(TColor color);

  // The user changed the date.
  std::function<void()> OnChange;

 protected:
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  LRESULT Notify(const NMHDR& header) override;

 private:
  // The calendar button as this layer draws it over the control's own, at the control's DPI;
  // empty where the control's own is as wide.
  RECT ScaledButton() const;
  void DrawButton(RECT button) const;

  SYSTEMTIME shown_{};  // the control reports some non-changes too: OnChange runs on real ones
};
