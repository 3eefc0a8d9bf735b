#pragma once
#include <windows.h>
#include <objidl.h>

#include <string>

#include "ComPtr.h"

namespace vb {

// Puts `text` on the clipboard as CF_UNICODETEXT, first written straight through the clipboard
// opened for `owner`, then through an OLE data source of its own that is made the clipboard's
// content. Needs OLE on the calling thread. The data source, or null when the clipboard could
// not be opened or the text is empty; whoever keeps it can flush it (OleFlushClipboard) before
// OLE ends, so the text stays on the clipboard after the program.
ComPtr<IDataObject> PutTextOnClipboard(HWND owner, const std::wstring& text);

}  // namespace vb
