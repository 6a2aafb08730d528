#pragma once
// Which children of a folder a shell control lists, by the virtual desktop items it shows.

#include "shell/ShellDataItems.h"
#include "shell/ShellIDFunc.h"

// Whether a control showing the virtual items `shown` lists `child` of a folder of level
// `parentLevel` and type `parentType`: only the desktop's children (never an itVirtual one) and
// those of the computer and the network at the first level are filtered.
bool ListsChild(TShellDataItem& child, int parentLevel, TShItemIDType parentType,
                TShVirtuaItems shown);
