#pragma once
// What the server answers about media items: the playing time of one item and the playable files
// of a folder.

#include "foundation/Strings.h"

// Playing time in seconds of a ".tml" project or an ".avi" file (extension case ignored); -1.0
// when it cannot be read, for any other extension, and for a project with no video clip left.
double ItemDuration(aStrd name);

// The names of the folder's ".tml" and ".avi" files, sorted, each followed by CR LF.
void FileListText(aStrd folder, aString& text);

// The filter of the listing.
extern const char kItemFilter[];
