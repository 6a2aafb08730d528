#include "framework/UtilityWindow.h"

namespace {

constexpr const char* kUtilityClass = "TessarinUtilityWindow";

}  // namespace

TUtilityWindow::TUtilityWindow(THandler handler) : TWinControl(nullptr), handler_(std::move(handler)) {
  RegisterOwnClass(kUtilityClass, 0, nullptr);
  TCreateParams params;
  params.ClassName = kUtilityClass;
  params.Style = WS_POPUP;
  params.ExStyle = WS_EX_TOOLWINDOW;
  CreateHandle(params);
}

LRESULT TUtilityWindow::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  return handler_ ? handler_(*this, message, wParam, lParam) : DefaultProc(message, wParam, lParam);
}
