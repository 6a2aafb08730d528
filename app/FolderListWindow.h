#pragma once
// "作成するフォルダの一覧": every path the run would make, in run order, with its state. The list
// is virtual: a row's path and state are made when the row is drawn, and the summary is counted on
// a worker thread, so a run of a million folders opens at once.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "app/Win32Naming.h"
#include "framework/Button.h"
#include "framework/Form.h"
#include "framework/Label.h"
#include "framework/ListView.h"
#include "framework/ProgressBar.h"
#include "framework/Thread.h"
#include "naming/RunListing.h"

// The rows: number, path below the target, state, reason.
class TFolderListView final : public TCustomListView {
 public:
  enum Column { kNumber, kPath, kState, kReason };

  TFolderListView(TContainer& parent, const TBounds& bounds);
  // Not owned: the window's listing, which outlives the control's use of it.
  void SetListing(const naming::RunListing* listing);

 protected:
  std::string ItemText(int index, int subItem) override;
  int ItemImage(int) override { return -1; }
  int FindText(const std::string&, bool, int, bool) override { return -1; }
  bool CanEdit(int) override { return false; }

 private:
  // The control asks for each column of a row in turn: the row is made once for all of them.
  void MakeRow(int index);

  const naming::RunListing* listing_ = nullptr;  // not owned
  // The folders the drawn rows read: rows near each other share them.
  naming::DiskCache disk_{app::DiskReader()};
  int rowIndex_ = -1;
  naming::ListedPath row_;
  naming::CreateResult rowState_;
};

// Counts the states of every path on a worker thread and hands the tally, a few times a second
// and at the end, to the user-interface thread.
class TListingCounter final : public TThread {
 public:
  using TReport =
      std::function<void(const naming::ListingTally& tally, std::uint64_t done, bool finished)>;

  // `listing` must outlive the thread; `report` runs on the user-interface thread.
  TListingCounter(const naming::RunListing& listing, TReport report);
  // Stops the count and waits for the worker.
  ~TListingCounter() override;

 protected:
  void Execute() override;

 private:
  const naming::RunListing& listing_;  // not owned
  TReport report_;
};

class TFolderListForm : public TForm {
 public:
  static constexpr const char* kCaption = "作成するフォルダの一覧";

  // `owner`: the main window, above which the list stays.
  TFolderListForm(TForm& owner, naming::RunListing listing);
  ~TFolderListForm() override;

  // "作成(&M)": the owner runs exactly this listing.
  std::function<void()> OnRunRequested;
  // The window is closing (hidden): the owner takes its input back.
  std::function<void()> OnClosed;

  // Stops the count (closing the window does too); its summary then says so.
  void StopCounting();
  bool Counting() const { return !counted_ && !stopped_; }
  // Writes every path, one a line, in code page 932; false when the file could not be written.
  bool SaveText(const std::string& path) const;
  const naming::RunListing& Listing() const { return listing_; }

  TFolderListView List;
  TLabel Summary;
  TProgressBar Progress;
  TButton RunButton;
  TButton SaveButton;
  TButton StopButton;
  TButton CloseButton;

 protected:
  void MenuCommand(WORD id) override;

 private:
  void StartCounting();
  void EndStop();
  void ShowTally(const naming::ListingTally& tally, std::uint64_t done, bool finished);
  void SaveButtonClick();

  naming::RunListing listing_;
  std::unique_ptr<TListingCounter> counter_;
  bool counted_ = false;
  bool stopped_ = false;
};
