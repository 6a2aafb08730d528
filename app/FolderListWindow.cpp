#include "app/FolderListWindow.h"

#include <algorithm>
#include <climits>

#include "app/TemplateDisk.h"
#include "framework/Application.h"
#include "naming/FolderCount.h"

namespace {

// How often the worker hands its tally over: often enough to look alive.
constexpr DWORD kReportEveryMs = 100;

// Bytes gathered before each write of the text file.
constexpr std::size_t kWriteChunk = 1u << 20;

bool WriteAll(HANDLE file, const std::string& text) {
  DWORD written = 0;
  return WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
         written == text.size();
}

}  // namespace

TFolderListView::TFolderListView(TContainer& parent, const TBounds& bounds)
    : TCustomListView(parent, bounds) {
  SetViewStyle(TViewStyle::Report);
  Perform(LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  AddColumn("番号", Dpi().Scale(70), TColumnAlignment::Right);
  AddColumn("フォルダ", Dpi().Scale(330), TColumnAlignment::Left);
  AddColumn("状態", Dpi().Scale(70), TColumnAlignment::Left);
  AddColumn("理由", Dpi().Scale(240), TColumnAlignment::Left);
}

void TFolderListView::SetListing(const naming::RunListing* listing) {
  listing_ = listing;
  rowIndex_ = -1;
  // The control counts its rows in an int: a larger run shows its first 2,147,483,647.
  const std::uint64_t count = listing ? listing->Count() : 0;
  SetItemCount(static_cast<int>(std::min<std::uint64_t>(count, INT_MAX)));
}

void TFolderListView::MakeRow(int index) {
  if (index == rowIndex_) return;
  row_ = listing_->Path(static_cast<std::uint64_t>(index));
  rowState_ = listing_->State(static_cast<std::uint64_t>(index), disk_);
  rowIndex_ = index;
}

std::string TFolderListView::ItemText(int index, int subItem) {
  if (!listing_) return {};
  MakeRow(index);
  switch (subItem) {
    case kNumber: return naming::GroupedNumber(static_cast<std::uint64_t>(index) + 1);
    case kPath: return row_.below;
    case kState: return naming::StateText(rowState_.status);
    default: break;
  }
  return rowState_.reason;
}

TListingCounter::TListingCounter(const naming::RunListing& listing, TReport report)
    : listing_(listing), report_(std::move(report)) {
  Start();
}

TListingCounter::~TListingCounter() {
  Terminate();
  WaitFor();
}

void TListingCounter::Execute() {
  naming::DiskCache disk(app::DiskReader());
  naming::ListingTally tally;
  DWORD lastReport = GetTickCount();
  const std::uint64_t total = listing_.Count();
  for (std::uint64_t k = 0; k < total; ++k) {
    if (Terminated()) return;
    tally.Add(listing_.State(k, disk).status);
    const DWORD now = GetTickCount();
    if (now - lastReport >= kReportEveryMs) {
      lastReport = now;
      Synchronize([&] { report_(tally, k + 1, false); });
    }
  }
  Synchronize([&] { report_(tally, total, true); });
}

TFolderListForm::TFolderListForm(TForm& owner, naming::RunListing listing)
    : TForm(kCaption, TBorderStyle::Single, &owner),
      List(*this, {8, 8, 744, 400}),
      Summary(*this, 8, 418, ""),
      Progress(*this, {440, 416, 312, 16}),
      RunButton(*this, {8, 444, 90, 25}, "作成(&M)"),
      SaveButton(*this, {106, 444, 130, 25}, "テキストに保存(&S)..."),
      StopButton(*this, {580, 444, 84, 25}, "中止(&T)"),
      CloseButton(*this, {672, 444, 80, 25}, "閉じる"),
      listing_(std::move(listing)) {
  SetClientSize(Dpi().Scale(760), Dpi().Scale(477));
  SetCenterOnFirstShow(true);
  List.SetListing(&listing_);
  CloseButton.SetDefault(true);
  RunButton.OnClick = [this] {
    if (OnRunRequested) OnRunRequested();
  };
  SaveButton.OnClick = [this] { SaveButtonClick(); };
  StopButton.OnClick = [this] { StopCounting(); };
  CloseButton.OnClick = [this] { Close(); };
  OnClose = [this](TCloseAction&) {
    StopCounting();
    if (OnClosed) OnClosed();
  };
  TWinControl::SetTabOrder({&List, &RunButton, &SaveButton, &StopButton, &CloseButton});
  Summary.SetCaption("数えています...");
  // The count starts once the first page is on the screen, so that it does not slow the page.
  OnFirstPainted = [this] { StartCounting(); };
}

void TFolderListForm::StartCounting() {
  if (counter_ || !Counting()) return;
  counter_ = std::make_unique<TListingCounter>(
      listing_, [this](const naming::ListingTally& tally, std::uint64_t done, bool finished) {
        ShowTally(tally, done, finished);
      });
}

TFolderListForm::~TFolderListForm() { counter_.reset(); }

void TFolderListForm::ShowTally(const naming::ListingTally& tally, std::uint64_t done,
                                bool finished) {
  Progress.SetProgress(done, listing_.Count());
  if (finished) {
    counted_ = true;
    EndStop();
    Summary.SetCaption("計 " + naming::GroupedNumber(listing_.Count()) + " 個: " + tally.Text());
    return;
  }
  Summary.SetCaption("数えています " + naming::GroupedNumber(done) + " / " +
                     naming::GroupedNumber(listing_.Count()) + ": " + tally.Text());
}

void TFolderListForm::StopCounting() {
  if (!Counting()) return;
  stopped_ = true;
  counter_.reset();  // waits for the worker; its last reports run meanwhile
  EndStop();
  Summary.SetCaption(Summary.Caption() + " (中止しました)");
}

// There is nothing left to stop. A disabled button keeps no focus: the focus would be nowhere,
// and Escape and Enter would no longer reach the window.
void TFolderListForm::EndStop() {
  if (StopButton.Focused()) CloseButton.SetFocus();
  StopButton.SetEnabled(false);
}

// Escape closes the window as its close box does.
void TFolderListForm::MenuCommand(WORD id) {
  if (id == IDCANCEL) Close();
}

bool TFolderListForm::SaveText(const std::string& path) const {
  HANDLE opened = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (opened == INVALID_HANDLE_VALUE) return false;
  const TKernelHandle file(opened);
  std::string chunk;
  for (std::uint64_t k = 0; k < listing_.Count(); ++k) {
    chunk += listing_.Path(k).path;
    chunk += "\r\n";
    if (chunk.size() >= kWriteChunk) {
      if (!WriteAll(file.Get(), chunk)) return false;
      chunk.clear();
    }
  }
  return WriteAll(file.Get(), chunk);
}

void TFolderListForm::SaveButtonClick() {
  const std::optional<std::string> path = app::ChooseTextToSave(Handle());
  if (!path) return;
  if (!SaveText(*path))
    Application().MessageBox(*path + " に保存できませんでした。", MB_ICONWARNING);
}
