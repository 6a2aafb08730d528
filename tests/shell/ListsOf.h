#pragma once
// The item lists tests start from, held by owners; an empty owner when the shell has none.

#include <string>

#include "shell/ShellIDFunc.h"

inline TShIDListPtr SpecialFolder(TShSpecialFolder folder) {
  TShIDListPtr list;
  GetSpecialFolderIDList(folder, list.Out());
  return list;
}

inline TShIDListPtr ListOfPath(const std::string& path) {
  TShIDListPtr list;
  IDListFromPath(path, list.Out());
  return list;
}
