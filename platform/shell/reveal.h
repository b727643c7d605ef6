#pragma once
// Showing files in the desktop's file manager: item lists for paths, and opening a folder with
// items selected (org.freedesktop.FileManager1 on the session bus, else the folder alone).

#include "platform/foundation/error.h"
#include "platform/shell/win32.h"

namespace shell {

struct ITEMIDLIST;
using PIDLIST_ABSOLUTE = ITEMIDLIST*;
using PCIDLIST_ABSOLUTE = const ITEMIDLIST*;
using PCUITEMID_CHILD_ARRAY = const ITEMIDLIST* const*;

// An item for an absolute path; null (ERROR_INVALID_PARAMETER) for an empty or relative one.
// The path need not exist yet.
PIDLIST_ABSOLUTE ILCreateFromPathW(PCWSTR path);
void ILFree(PIDLIST_ABSOLUTE item);

// Asks the file manager to show the items selected in their folder; with no items, opens the
// folder. Returns at once: the file manager answers later, and when none answers the folder is
// opened with the desktop's default handler.
foundation::hresult SHOpenFolderAndSelectItems(PCIDLIST_ABSOLUTE folder, UINT count, PCUITEMID_CHILD_ARRAY items,
                                               DWORD flags);

}  // namespace shell
