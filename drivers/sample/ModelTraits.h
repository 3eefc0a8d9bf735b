#pragma once
// What a model name makes of the device. Words in the name switch behaviours on, matched
// anywhere in the name without regard to case, so a test can combine them ("LX 600 COLOR RFID").
#include "DriverApi.h"

#include <string_view>

namespace vb::sample {

struct ModelTraits {
    short dpi = 300;            // "203" or "600"; 203 wins when both appear
    bool color = false;         // "COLOR"
    bool layoutMarker = true;   // "NOMARK" takes the private layout marker out of the devmode
    bool setupPart = true;      // "NOSETUP" makes the devmode's dmSize 0
    bool fonts = true;          // "NOFONTS": no fonts and no barcode types
    bool codes = true;          // "NOCODES": fonts but no barcode types
    bool rfid = false;          // "RFID"
    bool dateTime = true;       // "NODATE": no date or time formats
    bool fileList = false;      // "FILELIST": FAM09 turns the print file into a list of its page files
};

ModelTraits ParseModel(std::wstring_view model);

// Puts the model's resolution into the information block the bench converts units with; the
// rest of the block stays as the bench gave it.
void WriteResolution(const ModelTraits& traits, tagDRIVERINFO& info);

}  // namespace vb::sample
