#include "shell/ShellChildren.h"

bool ListsChild(TShellDataItem& child, int parentLevel, TShItemIDType parentType,
                TShVirtuaItems shown) {
  if (parentLevel == 0) {
    switch (child.GetItemType()) {
      case itBitBucket: return shown.Contains(itBitBucket);
      case itNetWork: return shown.Contains(itNetWork);
      case itVirtual: return false;
      default: return true;
    }
  }
  if (parentLevel == 1 && parentType == itMyComputer)
    return shown.Contains(itVirtual) || child.GetItemType() != itVirtual;
  if (parentLevel == 1 && parentType == itNetWork) return shown.Contains(itNetWork);
  return true;
}
