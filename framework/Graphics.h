#pragma once
// Owners of the GDI objects and pictures the controls draw with. Copies share one handle, which is
// freed with the last copy, so a control can keep the font or picture it was given.

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>
#include <type_traits>

#include "framework/Color.h"
#include "framework/Dpi.h"

// A font by face name, character height in pixels at a DPI, weight and character set.
class TFont {
 public:
  // The controls' usual font: "ＭＳ Ｐゴシック", 12 pixels of the layout, Shift-JIS character set.
  TFont();
  // `height` in pixels at `dpi`; by default the layout's 96, as the window layout gives fonts.
  TFont(const std::string& name, int height, bool bold = false, BYTE charset = SHIFTJIS_CHARSET,
        TDpi dpi = TDpi());
  // The same font at the same point size for `dpi`.
  TFont At(TDpi dpi) const;

  HFONT Handle() const { return handle_.get(); }
  const std::string& Name() const { return name_; }
  // True when the system has a face of this name; otherwise it draws in a face of its own choice.
  bool Installed() const;
  // In pixels at Dpi().
  int Height() const { return height_; }
  TDpi Dpi() const { return dpi_; }
  bool Bold() const { return bold_; }

 private:
  std::shared_ptr<std::remove_pointer_t<HFONT>> handle_;
  std::string name_;
  int height_ = 0;
  bool bold_ = false;
  BYTE charset_ = SHIFTJIS_CHARSET;
  TDpi dpi_;
};

// A solid brush of one colour.
class TBrush {
 public:
  explicit TBrush(TColor color);

  HBRUSH Handle() const { return handle_.get(); }
  TColor Color() const { return color_; }

 private:
  std::shared_ptr<std::remove_pointer_t<HBRUSH>> handle_;
  TColor color_;
};

// A device-dependent bitmap; empty when default-made or when loading failed.
class TBitmap {
 public:
  TBitmap() = default;

  // A BITMAP resource of this program (MAKEINTRESOURCE ids too).
  static TBitmap FromResource(const char* name);
  static TBitmap FromResource(int id) { return FromResource(MAKEINTRESOURCEA(id)); }
  // A width × height picture filled with `background`, then drawn by `paint` on a memory DC.
  static TBitmap Paint(int width, int height, TColor background,
                       const std::function<void(HDC)>& paint);

  HBITMAP Handle() const { return handle_.get(); }
  bool Empty() const { return !handle_; }
  int Width() const { return width_; }
  int Height() const { return height_; }

 private:
  explicit TBitmap(HBITMAP handle);

  std::shared_ptr<std::remove_pointer_t<HBITMAP>> handle_;
  int width_ = 0;
  int height_ = 0;
};

// An icon at one size; empty when default-made or when loading failed.
class TIcon {
 public:
  TIcon() = default;

  // An ICON resource of this program at size × size pixels (MAKEINTRESOURCE ids too).
  static TIcon FromResource(const char* name, int size);
  static TIcon FromResource(int id, int size) { return FromResource(MAKEINTRESOURCEA(id), size); }
  // Takes `handle` over (destroyed with the last copy); empty for a null handle.
  static TIcon Own(HICON handle, int size);

  HICON Handle() const { return handle_.get(); }
  bool Empty() const { return !handle_; }
  int Size() const { return size_; }

 private:
  std::shared_ptr<std::remove_pointer_t<HICON>> handle_;
  int size_ = 0;
};

// Small pictures of one size, drawn by index (menu icons).
class TImageList {
 public:
  TImageList(int width, int height);
  ~TImageList();
  TImageList(const TImageList&) = delete;
  TImageList& operator=(const TImageList&) = delete;

  // Each returns the new picture's index, -1 on failure.
  int AddIcon(const TIcon& icon);
  int AddMasked(const TBitmap& bitmap, TColor transparent);

  // Pictures of another size from now on: the ones held are removed.
  void SetSize(int width, int height);
  int Count() const;
  int Width() const { return width_; }
  int Height() const { return height_; }
  // Draws picture `index` with its top-left corner at x, y; greyed when not `enabled`.
  void Draw(HDC dc, int index, int x, int y, bool enabled) const;

 private:
  HIMAGELIST handle_;
  int width_;
  int height_;
};
