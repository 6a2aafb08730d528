#pragma once
// The window's say in a creation run: the question before a large run, and the progress window
// of a run that lasts. The run stays on the user-interface thread; between its creations only the
// progress window's own messages are handled, and every other window of the program is disabled
// while it shows, as under a modal box.

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/Button.h"
#include "framework/Form.h"
#include "framework/Label.h"
#include "framework/ProgressBar.h"
#include "naming/CreationRun.h"

// The small window: the bar, the count so far, the path being made and "中止" (Escape too).
class TRunProgressForm : public TForm {
 public:
  // `title`: what the task does, "フォルダを作成しています".
  TRunProgressForm(TForm& owner, const std::string& title);

  void ShowProgress(std::uint64_t done, std::uint64_t total, const std::string& path);
  // The user pressed "中止", Escape or the close box.
  bool StopRequested() const { return stopRequested_; }

  TProgressBar Bar;
  TLabel Count;
  TLabel Path;
  TButton StopButton;

 protected:
  void MenuCommand(WORD id) override;

 private:
  bool stopRequested_ = false;
};

class TWindowRunControl final : public naming::RunControl {
 public:
  // Times after which the progress window shows, between two looks at its input (often enough for
  // "中止" to answer at once; a look with no input waiting costs next to nothing), and between two
  // drawings of its figures: drawing costs more (under Wine the bar paints at once), and a count
  // that changes faster cannot be read anyway.
  static constexpr DWORD kShowAfterMs = 500;
  static constexpr DWORD kLookEveryMs = 100;
  static constexpr DWORD kDrawEveryMs = 500;

  // `owner`: the main window, which owns the question box and the progress window; `title`: the
  // progress window's. An undo uses it too, for its progress only.
  TWindowRunControl(TForm& owner, std::string title);
  // Closes the progress window and gives the other windows back their input.
  ~TWindowRunControl() override;
  TWindowRunControl(const TWindowRunControl&) = delete;
  TWindowRunControl& operator=(const TWindowRunControl&) = delete;

  bool Confirm(const naming::RunPlan& plan) override;
  bool Continue(std::uint64_t done, std::uint64_t total, const std::string& path) override;

  // The progress window while it shows, or null; for tests and pictures.
  TRunProgressForm* ProgressForm() const { return progress_.get(); }

  // The question's text for `plan`.
  static std::string QuestionText(const naming::RunPlan& plan);

 private:
  void ShowProgressForm();
  void HandleProgressMessages();

  TForm& owner_;  // not owned
  std::string title_;
  DWORD started_ = 0;
  DWORD lastLook_ = 0;
  DWORD lastDrawing_ = 0;
  std::unique_ptr<TRunProgressForm> progress_;
  std::vector<HWND> disabled_;  // the windows the progress window took input from
};
