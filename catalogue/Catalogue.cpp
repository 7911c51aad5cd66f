#include "catalogue/Catalogue.h"

#include "catalogue/Aviduration.h"
#include "catalogue/Filelist.h"
#include "catalogue/read_tml.h"
#include "foundation/PathInfo.h"

const char kItemFilter[] = "*.tml;*.avi";

double ItemDuration(aStrd name) {
  aPathInfo info(name);
  double seconds = -1.0;
  if (info.extension.EqualsNoCase(".tml")) {
    // The reader wants a terminated name.
    aString path(name.length + 1, 0);
    path.Assign(name);
    bool hasVideo = false;
    if (!ReadTmlDuration(path.CStr(), &seconds, &hasVideo) || !hasVideo) return -1.0;
    return seconds;
  }
  if (info.extension.EqualsNoCase(".avi")) {
    if (!ReadAviDuration(name, &seconds, false)) return -1.0;
    return seconds;
  }
  return -1.0;
}

void FileListText(aStrd folder, aString& text) {
  aFileList list;
  list.AddFiles(folder, kItemFilter);
  list.Text(text);
}
