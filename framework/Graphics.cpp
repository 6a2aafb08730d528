#include "framework/Graphics.h"

#include <map>
#include <mutex>
#include <tuple>

#include "framework/DeviceContext.h"

namespace {

const TFont& DefaultFont() {
  static const TFont font("ＭＳ Ｐゴシック", 12);
  return font;
}

template <typename Handle>
std::shared_ptr<std::remove_pointer_t<Handle>> OwnGdiObject(Handle handle) {
  if (!handle) return nullptr;
  return {handle, [](Handle h) { DeleteObject(h); }};
}

int CALLBACK NoteFace(const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;  // one is enough
}

// Fonts in use, by face, pixel height, weight and character set: the controls of a window share
// one handle of each, at whatever DPI the window has.
std::shared_ptr<std::remove_pointer_t<HFONT>> SharedFont(const std::string& name, int pixels,
                                                         bool bold, BYTE charset) {
  using TKey = std::tuple<std::string, int, bool, BYTE>;
  static std::map<TKey, std::weak_ptr<std::remove_pointer_t<HFONT>>> fonts;
  static std::mutex lock;
  const std::lock_guard<std::mutex> held(lock);
  auto& shared = fonts[TKey{name, pixels, bold, charset}];
  if (auto font = shared.lock()) return font;
  // A negative height asks for the character height, as "12 pixels" means.
  auto font = OwnGdiObject(CreateFontA(-pixels, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE,
                                       FALSE, charset, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                       DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, name.c_str()));
  shared = font;
  return font;
}

}  // namespace

TFont::TFont() : TFont(DefaultFont()) {}

TFont::TFont(const std::string& name, int height, bool bold, BYTE charset, TDpi dpi)
    : handle_(SharedFont(name, height, bold, charset)),
      name_(name),
      height_(height),
      bold_(bold),
      charset_(charset),
      dpi_(dpi) {}

TFont TFont::At(TDpi dpi) const {
  if (dpi == dpi_) return *this;
  return TFont(name_, dpi.Scale(height_, dpi_), bold_, charset_, dpi);
}

bool TFont::Installed() const {
  LOGFONTA wanted{};
  wanted.lfCharSet = DEFAULT_CHARSET;
  name_.copy(wanted.lfFaceName, LF_FACESIZE - 1);
  bool found = false;
  const TScreenDC screen;
  // The enumeration lists real faces only, never the names the system maps to another face.
  EnumFontFamiliesExA(screen.Get(), &wanted, NoteFace, reinterpret_cast<LPARAM>(&found), 0);
  return found;
}

TBrush::TBrush(TColor color)
    : handle_(OwnGdiObject(CreateSolidBrush(color.Ref()))), color_(color) {}

TBitmap::TBitmap(HBITMAP handle) : handle_(OwnGdiObject(handle)) {
  BITMAP info{};
  if (handle && GetObjectA(handle, sizeof(info), &info)) {
    width_ = info.bmWidth;
    height_ = info.bmHeight;
  }
}

TBitmap TBitmap::FromResource(const char* name) {
  return TBitmap(static_cast<HBITMAP>(
      LoadImageA(GetModuleHandleA(nullptr), name, IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)));
}

TBitmap TBitmap::Paint(int width, int height, TColor background,
                       const std::function<void(HDC)>& paint) {
  const TScreenDC screen;
  TBitmap bitmap(CreateCompatibleBitmap(screen.Get(), width, height));
  const TMemoryDC memory(screen.Get());
  if (!memory) return {};
  if (bitmap.Empty()) return bitmap;
  HDC dc = memory.Get();
  const TSelection selected(dc, bitmap.Handle());
  RECT all{0, 0, width, height};
  FillRect(dc, &all, TBrush(background).Handle());
  const TSavedDCState state(dc);
  paint(dc);
  return bitmap;
}

TIcon TIcon::FromResource(const char* name, int size) {
  return Own(static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), name, IMAGE_ICON, size, size,
                                           LR_DEFAULTCOLOR)),
             size);
}

TIcon TIcon::Own(HICON handle, int size) {
  TIcon icon;
  if (!handle) return icon;
  icon.handle_ = {handle, [](HICON h) { DestroyIcon(h); }};
  icon.size_ = size;
  return icon;
}

TImageList::TImageList(int width, int height)
    : handle_(ImageList_Create(width, height, ILC_COLOR32 | ILC_MASK, 4, 4)),
      width_(width),
      height_(height) {}

void TImageList::SetSize(int width, int height) {
  if (handle_) ImageList_SetIconSize(handle_, width, height);
  width_ = width;
  height_ = height;
}

TImageList::~TImageList() {
  if (handle_) ImageList_Destroy(handle_);
}

int TImageList::AddIcon(const TIcon& icon) {
  if (!handle_ || icon.Empty()) return -1;
  return ImageList_AddIcon(handle_, icon.Handle());
}

int TImageList::AddMasked(const TBitmap& bitmap, TColor transparent) {
  if (!handle_ || bitmap.Empty()) return -1;
  return ImageList_AddMasked(handle_, bitmap.Handle(), transparent.Ref());
}

int TImageList::Count() const { return handle_ ? ImageList_GetImageCount(handle_) : 0; }

void TImageList::Draw(HDC dc, int index, int x, int y, bool enabled) const {
  if (!handle_ || index < 0 || index >= Count()) return;
  if (enabled) {
    ImageList_Draw(handle_, index, dc, x, y, ILD_TRANSPARENT);
    return;
  }
  const TIcon icon = TIcon::Own(ImageList_GetIcon(handle_, index, ILD_NORMAL), width_);
  if (icon.Empty()) return;
  DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(icon.Handle()), 0, x, y, 0, 0,
             DST_ICON | DSS_DISABLED);
}
