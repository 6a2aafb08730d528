#include "testkit/UserInput.h"

#include <commctrl.h>

void Type(TWinControl& field, const std::string& text) {
  SendMessageA(field.Handle(), EM_SETSEL, 0, -1);
  SendMessageA(field.Handle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

void TypeChars(TWinControl& field, const std::string& text) {
  for (char c : text) SendMessageA(field.Handle(), WM_CHAR, static_cast<unsigned char>(c), 1);
}

void Click(TWinControl& button) { SendMessageA(button.Handle(), BM_CLICK, 0, 0); }

void Pick(TComboBox& list, int index) {
  SendMessageA(list.Handle(), CB_SETCURSEL, index, 0);
  SendMessageA(GetParent(list.Handle()), WM_COMMAND,
               MAKEWPARAM(GetDlgCtrlID(list.Handle()), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(list.Handle()));
}

void ChangeDate(TDateTimePicker& picker, WORD year, WORD month, WORD day) {
  SYSTEMTIME date{};
  date.wYear = year;
  date.wMonth = month;
  date.wDay = day;
  SendMessageA(picker.Handle(), DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&date));
  NMDATETIMECHANGE change{};
  change.nmhdr.hwndFrom = picker.Handle();
  change.nmhdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(picker.Handle()));
  change.nmhdr.code = DTN_DATETIMECHANGE;
  change.st = date;
  SendMessageA(GetParent(picker.Handle()), WM_NOTIFY, change.nmhdr.idFrom,
               reinterpret_cast<LPARAM>(&change));
}
