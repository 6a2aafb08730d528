#include "app/About.h"

#include <shellapi.h>

#include "app/Version.h"
#include "app/res/Resource.h"

namespace {

constexpr TColor kNavy(0, 0, 128);
constexpr TColor kGrey(128, 128, 128);
constexpr TColor kWhite(255, 255, 255);
constexpr TColor kLink(0, 102, 221);
constexpr TColor kLinkHover(221, 102, 102);

constexpr const char* kProductName = "Tessarin";

TFont Century(int height, bool bold = false) { return TFont("Century", height, bold, ANSI_CHARSET); }

void Style(TLabel& label, const TFont& font, TColor color) {
  label.SetFont(font);
  label.SetFontColor(color);
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
      Copyright(*this, 64, 88, "Copyright (C) 2004-2024 Tessarin"),
      Label1(*this, 80, 128, kWebAddress),
      Label2(*this, 104, 144, kMailAddress),
      OKButton(*this, {111, 180, 75, 25}, "閉じる") {
  SetClientSize(298, 213);
  SetColor(kWhite);
  SetCenterOnFirstShow(true);

  Shape1.SetPen(kGrey);
  Shape1.SetFill(kWhite);
  ProgramIcon.SetIcon(TIcon::FromResource(IDI_TESSARIN, 32));
  ProgramIcon.SetStretch(true);
  Style(ProductName, Century(21, true), kNavy);
  Style(Version, Century(12), kNavy);
  Style(Copyright, Century(12), kGrey);
  Label1.SetFont(Century(12));
  Label2.SetFont(Century(12));
  for (TLabel* label : {&ProductName, &Copyright, &Label1, &Label2}) label->SetTransparent();

  Label1.OnClick = [this] { Label1Click(); };
  Label2.OnClick = [this] { Label2Click(); };
  BindHover(Label1);
  BindHover(Label2);
  OKButton.SetDefault(true);
  OKButton.OnClick = [this] { OKButtonClick(); };
  OnCreate = [this] { FormCreate(); };
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
