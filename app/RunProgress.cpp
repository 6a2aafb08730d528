#include "app/RunProgress.h"

#include <shlwapi.h>

#include "framework/Application.h"
#include "naming/FolderCount.h"

namespace {

// About as many characters as the window's width shows.
constexpr UINT kPathCharacters = 62;

// A long path loses its middle folders, so that its start and the name being made both show.
std::string ShortenedPath(const std::string& path) {
  char shortened[kPathCharacters + 1] = {};
  if (!PathCompactPathExA(shortened, path.c_str(), sizeof shortened, 0)) return path;
  return shortened;
}

BOOL CALLBACK CollectEnabledWindow(HWND window, LPARAM found) {
  if (IsWindowVisible(window) && IsWindowEnabled(window))
    reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
  return TRUE;
}

}  // namespace

TRunProgressForm::TRunProgressForm(TForm& owner, const std::string& title)
    : TForm(title, TBorderStyle::Dialog, &owner),
      Bar(*this, {12, 12, 376, 18}),
      Count(*this, 12, 40, ""),
      Path(*this, 12, 60, ""),
      StopButton(*this, {162, 86, 75, 25}, "中止") {
  SetClientSize(Dpi().Scale(400), Dpi().Scale(121));
  StopButton.SetDefault(true);
  StopButton.OnClick = [this] { stopRequested_ = true; };
  OnClose = [this](TCloseAction& action) {
    stopRequested_ = true;
    action = TCloseAction::None;  // the run closes the window when it has stopped
  };
  // In the middle of the owner, where the user's eyes are.
  const TBounds frame = owner.Bounds();
  SetBounds({frame.Left + (frame.Width - Width()) / 2, frame.Top + (frame.Height - Height()) / 2,
             Width(), Height()});
}

void TRunProgressForm::ShowProgress(std::uint64_t done, std::uint64_t total,
                                    const std::string& path) {
  Bar.SetProgress(done, total);
  Count.SetCaption(naming::GroupedNumber(done) + " / " + naming::GroupedNumber(total) + " 個");
  Path.SetCaption(ShortenedPath(path));
}

// Escape reaches a form as the dialog command IDCANCEL.
void TRunProgressForm::MenuCommand(WORD id) {
  if (id == IDCANCEL) stopRequested_ = true;
}

TWindowRunControl::TWindowRunControl(TForm& owner, std::string title)
    : owner_(owner), title_(std::move(title)) {}

TWindowRunControl::~TWindowRunControl() {
  // Input back first, so that closing the progress window activates the main window again.
  for (HWND window : disabled_) EnableWindow(window, TRUE);
  progress_.reset();
}

std::string TWindowRunControl::QuestionText(const naming::RunPlan& plan) {
  return naming::GroupedNumber(plan.total) +
         " 個のフォルダを作成します。よろしいですか？\r\n\r\n最初: " + plan.firstPath +
         "\r\n最後: " + plan.lastPath;
}

bool TWindowRunControl::Confirm(const naming::RunPlan& plan) {
  // "キャンセル" is the default: a slip of Enter must not start a run of this size.
  return Application().MessageBox(QuestionText(plan),
                                  MB_OKCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2) == IDOK;
}

bool TWindowRunControl::Continue(std::uint64_t done, std::uint64_t total, const std::string& path) {
  // Called before every creation: only a clock reading until it is time to look at the window.
  const DWORD now = GetTickCount();
  if (done == 0) started_ = lastLook_ = now;
  if (now - lastLook_ < kLookEveryMs) return true;
  lastLook_ = now;
  if (!progress_) {
    if (now - started_ < kShowAfterMs) return true;
    ShowProgressForm();
    lastDrawing_ = now - kDrawEveryMs;
  }
  if (now - lastDrawing_ >= kDrawEveryMs) {
    lastDrawing_ = now;
    progress_->ShowProgress(done, total, path);
  }
  HandleProgressMessages();
  return !progress_->StopRequested();
}

void TWindowRunControl::ShowProgressForm() {
  progress_ = std::make_unique<TRunProgressForm>(owner_, title_);
  EnumThreadWindows(GetCurrentThreadId(), CollectEnabledWindow,
                    reinterpret_cast<LPARAM>(&disabled_));
  for (HWND window : disabled_) EnableWindow(window, FALSE);
  progress_->Show();
  progress_->StopButton.SetFocus();
}

void TWindowRunControl::HandleProgressMessages() {
  // Only the progress window's messages (its controls' included): the rest wait for the run's end.
  Application().ProcessMessagesOf(progress_->Handle());
}
