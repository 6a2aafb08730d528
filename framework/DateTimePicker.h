#pragma once
// A date field in the system's long date form with a drop-down month calendar; a date only.

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
  LRESULT Notify(const NMHDR& header) override;

 private:
  SYSTEMTIME shown_{};  // the control reports some non-changes too: OnChange runs on real ones
};
