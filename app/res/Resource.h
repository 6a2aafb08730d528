// Resource identifiers shared by the resource script and the program.
#pragma once

#define IDI_TESSARIN 1
#define IDI_SAMPLE 101
#define IDI_ARROW 102
#define IDI_COPY 103
#define IDI_CUT 104
#define IDI_PASTE 105
#define IDI_UNDO 106
#define IDB_CAPTION_PARENT 201
#define IDB_CAPTION_CHILD 202
