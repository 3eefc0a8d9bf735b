#pragma once
// What one instance keeps for printing between calls: the print file of the open document, the
// devmode the bench last handed over, and the font and barcode type it selected last. Selections
// made outside a document still count: they size the extents and stay for the next document.
#include "CodeDescriptionLayout.h"
#include "PageFiles.h"
#include "PrintFile.h"

#include <windows.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace vb::sample {

class PrintState {
public:
    // A copy of the part of the devmode that the print file reports.
    void KeepDevMode(const BYTE* devmode);

    // Ends any document still open (without a closing command: none was asked for) and starts a
    // new one: the file `output` when it is not empty, its DOC and SETUP commands. False when the
    // file cannot be created or written.
    bool StartDocument(const std::wstring& name, const std::wstring& output, short dpi);
    bool EndDocument();

    // MAKELONG(width, height) in dots, each clamped to 0..0xFFFF; a negative length counts as 0.
    // Text: the height is the selected font's |lfHeight| (10 without one) and each letter half
    // of it. Barcode: 11 modules of the selected code's ModuleX a letter, its vertical size high
    // (100 without one or when 0).
    DWORD TextExtent(LONG length) const;
    DWORD CodeExtent(LONG length) const;

    PrintFile file;
    PageFiles pages{file};
    std::optional<LOGFONTW> font;
    std::optional<std::array<BYTE, code::kDescriptionSize>> code;

private:
    bool WriteSetup(short dpi);

    std::vector<BYTE> devmode_;  // empty until the bench hands one over
};

}  // namespace vb::sample
