#pragma once
// The About box: the program's icon, name, version and copyright, and two links, one to the web
// page and one starting a mail. Never modal; "閉じる", Enter and its close box hide it.

#include <string>

#include "framework/Button.h"
#include "framework/Form.h"
#include "framework/Image.h"
#include "framework/Label.h"
#include "framework/Shape.h"

class TAboutBox : public TForm {
 public:
  static constexpr const char* kWebAddress = "https://www.example.com/tessarin/";
  static constexpr const char* kMailAddress = "tessarin@example.com";

  // `owner`: the main window, above which the box stays.
  explicit TAboutBox(TForm* owner);

  void FormCreate();
  void Label1Click();
  void Label2Click();
  void OKButtonClick();

  // The address the mail link opens: the address Label2 shows, with the product name and
  // "について" as subject and body, in raw Shift-JIS as the mail programs take it.
  std::string MailAddress() const;

  TShape Shape1;
  TImage ProgramIcon;
  TLabel ProductName;
  TLabel Version;
  TLabel Copyright;
  TLabel Label1;
  TLabel Label2;
  TButton OKButton;

 private:
  void ChooseTextFace();
  static void BindHover(TLabel& link);
};
