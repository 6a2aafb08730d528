#include "app/About.h"

#include <shellapi.h>

#include <climits>

#include "app/Version.h"
#include "app/res/Resource.h"

namespace {

constexpr TColor kNavy(0, 0, 128);
constexpr TColor kGrey(128, 128, 128);
constexpr TColor kWhite(255, 255, 255);
constexpr TColor kLink(0, 102, 221);
constexpr TColor kLinkHover(221, 102, 102);

constexpr const char* kProductName = "Tessarin";

constexpr int kTextHeight = 12;
constexpr int kAddressMargin = 8;  // at 96 DPI, between the web address and the frame

// Century first, then faces of about its width (the Latin letters of the Mincho faces are
// modelled on Century).
constexpr const char* kCenturyLikeFaces[] = {
    "Century",         "Century Schoolbook", "ＭＳ Ｐ明朝",           "IPAPMincho",
    "Times New Roman", "Liberation Serif",   "DejaVu Serif Condensed"};

TFont Latin(const std::string& face, int height, bool bold = false) {
  return TFont(face, height, bold, ANSI_CHARSET);
}

// The face of the box's texts: the first installed face of the list in which `link` is at most
// `widest` wide (Century wherever the system has it), else the installed one in which it is
// narrowest. For a face it lacks the system draws one of its own choice, often wider, so the web
// address would run past the frame.
std::string TextFace(TLabel& link, int widest) {
  std::string narrowest = kCenturyLikeFaces[0];
  int narrowestWidth = INT_MAX;
  for (const char* face : kCenturyLikeFaces) {
    const TFont font = Latin(face, kTextHeight);
    if (!font.Installed()) continue;
    link.SetFont(font);
    if (link.Width() <= widest) return face;
    if (link.Width() < narrowestWidth) narrowest = face, narrowestWidth = link.Width();
  }
  return narrowest;
}

// Puts `label` in the middle of `frame`, across.
void CentreAcross(TLabel& label, const TShape& frame) {
  label.SetBounds({frame.Left() + (frame.Width() - label.Width()) / 2, label.Top(), label.Width(),
                   label.Height()});
}

// The shell opens the address with the user's browser or mail program. When it cannot, the user
// sees that nothing opened; there is nothing more to tell.
void OpenAddress(const std::string& address) {
  ShellExecuteA(nullptr, "open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace

TAboutBox::TAboutBox(TForm* owner)
    : TForm("バージョン情報", TBorderStyle::Dialog, owner),
      Shape1(*this, {8, 8, 281, 161}),
      ProgramIcon(*this, {133, 16, 32, 32}),
      ProductName(*this, 48, 56, kProductName),
      Version(*this, 200, 64, "Ver " TESSARIN_VERSION_TEXT "J"),
      Copyright(*this, 64, 88, TESSARIN_COPYRIGHT),
      Label1(*this, 80, 128, kWebAddress),
      Label2(*this, 104, 144, kMailAddress),
      OKButton(*this, {111, 180, 75, 25}, "閉じる") {
  SetClientSize(Dpi().Scale(298), Dpi().Scale(213));
  SetColor(kWhite);
  SetCenterOnFirstShow(true);

  Shape1.SetPen(kGrey);
  Shape1.SetFill(kWhite);
  ProgramIcon.SetIcon(IDI_TESSARIN, 32);
  ProgramIcon.SetStretch(true);
  ProductName.SetFontColor(kNavy);
  Version.SetFontColor(kNavy);
  Copyright.SetFontColor(kGrey);
  ChooseTextFace();
  OnDpiChanged = [this] { ChooseTextFace(); };
  for (TLabel* label : {&ProductName, &Copyright, &Label1, &Label2}) label->SetTransparent();

  Label1.OnClick = [this] { Label1Click(); };
  Label2.OnClick = [this] { Label2Click(); };
  BindHover(Label1);
  BindHover(Label2);
  OKButton.SetDefault(true);
  OKButton.OnClick = [this] { OKButtonClick(); };
  OnCreate = [this] { FormCreate(); };
}

// Chosen at each DPI: faces do not all widen alike. The two addresses stand in the middle of the
// frame, the web address with a margin on either side however wide its face draws it.
void TAboutBox::ChooseTextFace() {
  const std::string face = TextFace(Label1, Shape1.Width() - 2 * Dpi().Scale(kAddressMargin));
  ProductName.SetFont(Latin(face, 21, true));
  for (TLabel* label : {&Version, &Copyright, &Label1, &Label2})
    label->SetFont(Latin(face, kTextHeight));
  CentreAcross(Label1, Shape1);
  CentreAcross(Label2, Shape1);
}

void TAboutBox::BindHover(TLabel& link) {
  link.OnMouseEnter = [&link] {
    link.SetFontColor(kLinkHover);
    link.SetCursor(TCursor::HandPoint);
  };
  link.OnMouseLeave = [&link] {
    link.SetFontColor(kLink);
    link.SetCursor(TCursor::Default);
  };
}

void TAboutBox::FormCreate() {
  Label1.SetFontColor(kLink);
  Label2.SetFontColor(kLink);
}

std::string TAboutBox::MailAddress() const {
  const std::string about = ProductName.Caption() + "について";
  return "mailto:" + Label2.Caption() + "?subject=" + about + "&body=" + about;
}

void TAboutBox::Label1Click() { OpenAddress(Label1.Caption()); }

void TAboutBox::Label2Click() { OpenAddress(MailAddress()); }

// Closing an About box hides it: it is shown again as it was left.
void TAboutBox::OKButtonClick() { Close(); }
