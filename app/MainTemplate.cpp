// Template files: the ファイル menu's opening and saving, the recent files, and the window's values
// read out and set again.

#include <shlwapi.h>

#include <algorithm>
#include <array>

#include "app/Main.h"
#include "app/TemplateDisk.h"
#include "framework/Application.h"
#include "naming/Calendar.h"
#include "shell/ShellIDFunc.h"

namespace {

naming::TierValues TierValuesOf(const TTierPanel& panel) {
  naming::TierValues tier;
  tier.front = panel.FrontText.Text();
  tier.back = panel.BackText.Text();
  tier.kind = panel.CheckedKind();
  tier.startNumber = panel.StartNumber.Text();
  tier.endNumber = panel.EndNumber.Text();
  tier.digitCount = panel.DigitCount.Text();
  tier.startDate = CalendarDateOf(panel.StartDate.Date());
  tier.endDate = CalendarDateOf(panel.EndDate.Date());
  // Typed text that matches no entry stands for the first one, as in a run.
  tier.dateFormat = std::max(panel.DateFormat.ItemIndex(), 0);
  tier.folderCount = panel.FolderCount.Text();
  tier.letterCase = std::max(panel.LetterCase.ItemIndex(), 0);
  tier.lettersPerName = panel.LettersPerName.Text();
  tier.position = std::max(panel.Pattern.ItemIndex(), 0);
  tier.freeLines = naming::FreeLinesOf(panel.FreeLines.Text());
  return tier;
}

SYSTEMTIME SystemTimeOf(const naming::CalendarDate& date) {
  SYSTEMTIME time{};
  time.wYear = static_cast<WORD>(date.year);
  time.wMonth = static_cast<WORD>(date.month);
  time.wDay = static_cast<WORD>(date.day);
  // The picker wants the day of the week right: 1970-01-01 was a Thursday.
  time.wDayOfWeek = static_cast<WORD>(((naming::DayNumber(date) % 7) + 11) % 7);
  return time;
}

// Holds the sample lines back while it lives.
class TPreviewHold {
 public:
  explicit TPreviewHold(bool& held) : held_(held) { held_ = true; }
  ~TPreviewHold() { held_ = false; }
  TPreviewHold(const TPreviewHold&) = delete;
  TPreviewHold& operator=(const TPreviewHold&) = delete;

 private:
  bool& held_;
};

// What the user would have done to the control: its own change handler runs.
void Changed(const std::function<void()>& event) {
  if (event) event();
}

// "&1 C:\...\name.tsnt": shortened to fit a menu, ampersands kept as text.
std::string RecentCaption(int index, const std::string& path) {
  std::array<char, MAX_PATH> compact{};
  if (!PathCompactPathExA(compact.data(), path.c_str(), 60, 0))
    lstrcpynA(compact.data(), path.c_str(), MAX_PATH);
  std::string caption = std::to_string(index + 1);
  caption.insert(caption.begin(), '&');
  caption += ' ';
  for (const char* c = compact.data(); *c != '\0'; ++c) {
    caption += *c;
    if (IsDBCSLeadByte(static_cast<BYTE>(*c)) && c[1] != '\0') {
      caption += *++c;
    } else if (*c == '&') {
      caption += '&';
    }
  }
  return caption;
}

bool IsFolder(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

void TForm1::OpenTemplate1Click() {
  if (auto path = app::ChooseTemplateToOpen(Handle(), recentTemplates_.LastFolder()))
    OpenTemplateFile(*path);
}

void TForm1::SaveTemplate1Click() {
  if (auto path = app::ChooseTemplateToSave(Handle(), recentTemplates_.LastFolder()))
    SaveTemplateFile(*path);
}

void TForm1::SaveTemplateFile(const std::string& path) {
  const std::string why = app::WriteTemplateText(path, naming::WriteTemplate(TemplateFromWindow()));
  if (!why.empty()) {
    Application().MessageBox(path + " に書き込めません。" + why, MB_ICONWARNING);
    return;
  }
  recentTemplates_.Add(path);
  ShowRecentTemplates();
}

void TForm1::OpenTemplateFile(const std::string& path) {
  const app::TTemplateFile file = app::ReadTemplateFile(path, TemplateDefaults());
  if (!file.failure.empty()) {
    // A recent file that is gone leaves the list.
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
      recentTemplates_.Remove(path);
      ShowRecentTemplates();
    }
    Application().MessageBox(file.failure, MB_ICONWARNING);
    return;
  }
  const naming::TemplateReading& reading = file.reading;
  ApplyTemplate(reading.values);
  recentTemplates_.Add(path);
  ShowRecentTemplates();

  // One box says everything that could not be taken as the file has it.
  std::string message;
  if (!reading.replaced.empty()) message = naming::ReplacedValuesText(reading.replaced);
  if (const std::string missing = SelectTarget(reading.values.target); !missing.empty())
    message += (message.empty() ? "" : "\n\n") + missing;
  if (!message.empty()) Application().MessageBox(message, MB_ICONWARNING);
}

naming::TemplateValues TForm1::TemplateFromWindow() {
  naming::TemplateValues values;
  values.parent = TierValuesOf(ParentTier);
  values.child = TierValuesOf(ChildTier());
  values.childFolders = CheckBox1.Checked();
  values.target = ShellTreeView1.SelectedPath();
  return values;
}

naming::TemplateValues TForm1::TemplateDefaults() const {
  naming::TemplateValues values;
  const naming::CalendarDate today = CalendarDateOf(startedAt_);
  for (naming::TierValues* tier : {&values.parent, &values.child}) {
    tier->startDate = today;
    tier->endDate = naming::DateOfDayNumber(naming::DayNumber(today) + 1);
  }
  return values;
}

void TForm1::ApplyTemplate(const naming::TemplateValues& values) {
  {
    // Each field's handler runs as it is set, but the sample lines wait until every field holds
    // the file's value: a number field that still holds an old text that is no integer (a "1.5"
    // typed earlier) would stop the setting half way with a conversion error.
    TPreviewHold hold(previewHeld_);
    TTierPanel& child = ChildTier();
    ApplyTier(ParentTier, values.parent);
    ApplyTier(child, values.child);
    CheckBox1.SetChecked(values.childFolders);
  }
  SampleFileName();
}

void TForm1::ApplyTier(TTierPanel& panel, const naming::TierValues& tier) {
  panel.FrontText.SetText(tier.front);
  panel.BackText.SetText(tier.back);
  panel.FreeLines.SetText(naming::FreeLinesText(tier.freeLines));
  panel.Pattern.SetItemIndex(tier.position);
  Changed(panel.Pattern.OnChange);

  // The start goes to its lowest first, so that the end is taken as the file has it and not
  // pulled up to the start the window held before.
  panel.DigitCount.SetText(tier.digitCount);
  panel.StartNumber.SetText("0");
  panel.EndNumber.SetText(tier.endNumber);
  panel.StartNumber.SetText(tier.startNumber);

  panel.StartDate.SetDate(SystemTimeOf(tier.startDate));
  Changed(panel.StartDate.OnChange);
  panel.EndDate.SetDate(SystemTimeOf(tier.endDate));
  Changed(panel.EndDate.OnChange);
  panel.DateFormat.SetItemIndex(tier.dateFormat);
  Changed(panel.DateFormat.OnChange);

  panel.FolderCount.SetText(tier.folderCount);
  panel.LetterCase.SetItemIndex(tier.letterCase);
  Changed(panel.LetterCase.OnChange);
  panel.LettersPerName.SetText(tier.lettersPerName);
  panel.Row(tier.kind).Radio.SetChecked(true);
}

std::string TForm1::SelectTarget(const std::string& path) {
  if (path.empty()) return {};
  TShIDListPtr list;
  if (IsFolder(path) && IDListFromPath(path, list.Out())) {
    ShellTreeView1.SelectIDList(list.Get());
    return {};
  }
  return "フォルダ " + path + " が見つからないため、ツリーの選択はそのままです。";
}

void TForm1::ShowRecentTemplates() {
  const std::vector<std::string>& files = recentTemplates_.Files();
  const std::array<TMenuItem*, app::TRecentTemplates::kCount> items = {
      &RecentTemplate1, &RecentTemplate2, &RecentTemplate3, &RecentTemplate4};
  for (std::size_t i = 0; i < items.size(); ++i) {
    TMenuItem& item = *items[i];
    item.Visible = i < files.size();
    if (!item.Visible) continue;
    item.SetCaption(RecentCaption(static_cast<int>(i), files[i]));
    // The path is taken when clicked: the list may have changed order since.
    item.OnClick = [this, i] {
      if (i >= recentTemplates_.Files().size()) return;
      const std::string path = recentTemplates_.Files()[i];  // a copy: opening reorders the list
      OpenTemplateFile(path);
    };
  }
  File1.UpdateItems();
}
