#pragma once
// Helper routines shared by the shell controls, and the data-transfer formats their drag and drop
// asks for. No routine keeps state or throws: failure is false, 0 or empty text. Path texts are in
// the ANSI code page (932 on the target systems).

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <cstdint>
#include <string>
#include <vector>

#include "framework/Dpi.h"
#include "shell/ComPtr.h"
#include "shell/ShellSets.h"

// True only for an existing directory (a file gives false). Safe on any thread.
bool FolderExists(const std::string& path);

// `path` with a backslash appended unless its last character (a double-byte character counts as
// one) already is a backslash. Safe on any thread.
std::string WithTrailingBackslash(const std::string& path);

// The label of the volume at `root` ("E:\") as shown to the user: lower case with a capital first
// letter (MYDISK gives Mydisk). Empty when the volume cannot be read or has no label; never asks
// the user to insert a disk.
std::string VolumeDisplayLabel(const std::string& root);

// How a volume label is shown: single-byte letters in lower case (file-name rules of the ANSI code
// page; double-byte characters stay as they are), then a single-byte first letter in upper case.
std::string VolumeLabelDisplayForm(std::string label);

// A UTC file time as a local date-time value (days since 1899-12-30, time of day as the
// fraction); 0 when either half of the time is 0 or it cannot be converted.
double LocalDateTimeOfFileTime(const FILETIME& time);

// The text of a shell answer about `item`, freeing the answer's own copy; false for an answer of
// an unknown kind.
bool TakeStrRetText(STRRET& answer, LPCITEMIDLIST item, std::string& text);

// The display name of `item` (relative to `folder`) for the SHGDN_ `flags`. True with empty text
// when the folder or the item is missing; false when the folder cannot answer.
bool DisplayNameText(IShellFolder* folder, LPCITEMIDLIST item, DWORD flags, std::string& text);

// The system image list index of the icon of an absolute list; 0 for a null list or on failure.
int SystemIconIndex(LPCITEMIDLIST absolute, bool large, bool open);

// The system image list index of the shell's closed-folder icon for a folder of no particular kind,
// found without touching any folder on disk; 0 on failure.
int GenericFolderIconIndex(bool large);

// The system image list index of the shell's small icon for a plain file named `fileName`, found
// from the name alone (the registry's answer for its extension) without touching any folder on
// disk; -1 on failure.
int FileNameIconIndex(const std::string& fileName);

// Whether `relative` in `folder` is a plain file-system directory, whose icon can only be the
// generic folder icon: read-only or system directories may carry a desktop.ini with an icon of
// their own, reparse points may be anything. Answered from the item list itself, not from disk.
bool IsPlainDirectory(IShellFolder* folder, LPCITEMIDLIST relative);

// The shared system image list of the small or large icons; null on failure.
HIMAGELIST SystemImageList(bool large);
// The shared system image list for a window at `dpi`: of the small, large and extra-large icons,
// the one nearest the small (16 pixels at 96 DPI) or large (32) icons at that DPI, on a tie the
// smaller; null on failure.
HIMAGELIST SystemImageListAt(TDpi dpi, bool large);

// Sets or clears `mask` in the window style of `window`; nothing while there is no window.
void SetWindowStyleBits(HWND window, DWORD mask, bool on);

// Shift and mouse-button state of a drag, bit n for ordinal n.
enum TShiftStateFlag { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSmallSet<TShiftStateFlag, std::uint8_t>;

// The MK_ key-state bits of a drag call as a shift state (double-click is never set).
TShiftState KeyStateToShift(DWORD keyState);

// The data-transfer formats registered at start-up (content aspect, all indexes, global memory).
// Before RegisterShellFormats has run their format identifiers are 0.
const FORMATETC& IDListArrayFormat();          // "Shell IDList Array"
const FORMATETC& ObjectOffsetsFormat();        // "Shell Object Offsets"
const FORMATETC& FileNameMapFormat();          // "FileNameMap"
const FORMATETC& FileNameMapWFormat();         // "FileNameMapW"
const FORMATETC& PerformedDropEffectFormat();  // "Performed DropEffect"

// Whether dragged data carries shell items: an item-list array or dropped files.
bool OffersShellItems(IDataObject* data);

// Forgets the drop targets of `pending` that only the list still holds: the shell is done with
// them (a shell target may go on working after Drop returns).
void ReleaseFinishedDropTargets(std::vector<TComPtr<IDropTarget>>& pending);

// Registers a window as an OLE drop target, or revokes it; a failure throws std::system_error
// with the OLE result.
void RegisterDropTarget(HWND window, IDropTarget* target);
void RevokeDropTarget(HWND window);

// Registers the five format names, in the order above. Run by TShellLibrary's start-up.
void RegisterShellFormats();
