#!/usr/bin/env bash
# Applies deliberate one-line faults to the program, one at a time, rebuilds and runs the whole
# test suite, and prints which faults the suite caught. Every fault must be caught.
#
#   bash scripts/mutation-check.sh [work-folder [pattern]]
#
# With a pattern (an extended regular expression), only the faults whose file or description
# matches it: "src/driver/" runs one layer, "DbCell" one file.
# MUTATION_TESTS, when set, is a ctest -R expression that limits the tests run for each fault.
# The work folder (default /tmp/vellbrook-mutation) gets a copy of the working tree and a build
# of its own, so the checkout and its build are never touched.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
work="${1:-/tmp/vellbrook-mutation}"
only="${2:-}"

# file | the exact text (found once) | what it becomes | the fault
faults=(
  "src/driver/Units.cpp|constexpr double kHundredthsPerInch = 2540.0;|constexpr double kHundredthsPerInch = 2541.0;|off by one in the unit conversion"
  "src/driver/CIFontEx.cpp|constexpr double kPointsPerInch = 72.0;|constexpr double kPointsPerInch = 73.0;|wrong points per inch"
  "src/driver/DriverHandler.h|static constexpr int kJobEnded = 1;|static constexpr int kJobEnded = 3;|wrong print event code"
  "src/data/Base64.cpp|constexpr char kPad = '=';|constexpr char kPad = '-';|wrong padding character"
  "src/data/Base64.cpp|if (!IsValid(c[0]) \|\| !IsValid(c[1])) return -1;|if (!IsValid(c[0])) return -1;|a bad group accepted"
  "src/data/SqlQuoting.cpp|return ReplaceAll(ReplaceAll(text, L\"'\", L\"''\"), kLineBreak, kEscapedLineBreak);|return ReplaceAll(text, kLineBreak, kEscapedLineBreak);|a missing quote"
  "src/data/SqlQuoting.cpp|return ReplaceAll(ReplaceAll(text, L\"''\", L\"'\"), kEscapedLineBreak, kLineBreak);|return ReplaceAll(text, kEscapedLineBreak, kLineBreak);|no unquoting"
  "src/data/DbConnection.cpp|BOOL CDbConnection::BeginTransaction() { return RunPlain(database_.Get(), \"BEGIN IMMEDIATE\", errorText_); }|BOOL CDbConnection::BeginTransaction() { return TRUE; }|a skipped transaction"
  "src/data/JetSql.cpp|            out_ += L\"INTEGER\";|            out_ += L\"TEXT\";|a wrong column type"
  "src/data/OutputKey.cpp|        text += L\"::\";|        text += L\":\";|a wrong sub-item separator"
  "src/framework/Strings.cpp|    if (!folder.empty() && folder.back() != L'\\\\') folder += L'\\\\';|    if (folder.empty()) folder += L'\\\\';|no trailing backslash"
  "src/framework/Strings.cpp|                if (next != args.end()) result.append(*next++);|                if (next != args.end()) result.append(*next);|a format argument used twice"
  "src/script/MSScriptObject.cpp| - desc : %s\\r\\n\";| - description : %s\\r\\n\";|a wrong error text format"
  "src/engine/WorkSpaceLog.cpp|L\"%02d:%02d:%02d\"|L\"%02d:%02d\"|a wrong log time format"
  "src/engine/WorkSpaceBatch.cpp|    Log(L\"Start processing...\\r\\n\");|    Log(L\"Start processing...\");|a wrong log line"
  "src/engine/WorkSpaceBatch.cpp|constexpr wchar_t kOptionExplicit[] = L\"Option Explicit\\r\\n\";|constexpr wchar_t kOptionExplicit[] = L\"\";|a Test run without Option Explicit"
  "src/engine/WorkSpaceResults.cpp|SameText(otherText, text) ? L\"-1\" : L\"0\"|!SameText(otherText, text) ? L\"-1\" : L\"0\"|a wrong comparison result"
  "src/engine/WorkSpaceResults.cpp|constexpr size_t kUserWidth = 32;|constexpr size_t kUserWidth = 33;|a user name one character too long"
  "src/engine/WorkSpaceResults.cpp|constexpr wchar_t kExtraDataName[] = L\"EXTDATA\";|constexpr wchar_t kExtraDataName[] = L\"EXTRADATA\";|a wrong extra-data item name"
  "src/engine/WorkSpaceApplication.cpp|        {3, L\"TempPath\", P, &W::GetTempPathProperty},|        {30, L\"TempPath\", P, &W::GetTempPathProperty},|a wrong dispid"
  "src/engine/WorkSpaceFiles.cpp|EndsWithNoCase(line, L\".TTF\")|EndsWithNoCase(line, L\".TTX\")|font files stored as output"
  "src/engine/WorkSpace.h|    static constexpr UINT kProgressMessage = WM_USER + 0x200;|    static constexpr UINT kProgressMessage = WM_USER + 0x201;|a wrong progress message"
  "hooklib/FileWatch.cpp|        if (error == ERROR_ALREADY_EXISTS) return false;|        if (error == ERROR_ALREADY_EXISTS) break;|an opened file reported as created"
  "src/ui/ListCtrlEx.h|kOddRowColour = RGB(211, 237, 252);|kOddRowColour = RGB(111, 237, 252);|a wrong row colour"
  "src/ui/PreviewLines.cpp|\"%08X  \"|\"%07X  \"|a hex line one column short"
  "src/ui/ListCtrlEx.h|static constexpr UINT kRefillMessage = WM_USER + 0x100;|static constexpr UINT kRefillMessage = WM_USER + 0x101;|a wrong Display all message"
  "src/engine/WorkSpacePrintEvents.cpp|    size_t dot = jobFile.rfind(L'.');|    size_t dot = jobFile.find(L'.');|a Test run's copy named at the first dot of the path"
  "src/ui/ListCtrlEx.cpp|for (int i = ItemCount() - 1; i >= 0; --i) {|for (int i = ItemCount() - 1; i > 0; --i) {|a value filter that never looks at the first row"
  "src/app/VellbrookDlgScripts.cpp|        if (currentOnly) break;|        if (currentOnly) continue;|a Test run without a highlighted model taking every ticked model"
  "src/editor/Completion.cpp|        if (i > 1) text += L\", \";|        if (i > 0) text += L\", \";|a call tip with a separator before its first argument"
  "hooklib/FileWatch.cpp|    case CREATE_NEW:||a file made with CREATE_NEW not reported"
  "src/engine/WorkSpacePrintEvents.cpp|const bool profile = vb::EqualsNoCase(text, kProfileSubItem);|const bool profile = text == kProfileSubItem;|the settings file's job name compared with its letter case"
  "src/engine/WorkSpacePrintEvents.cpp|std::wstring_view(L\"\\\\/:*?\\\"<>\|\")|std::wstring_view(L\"\\\\/:*?\\\"<>\")|a vertical bar left in a Test run copy's name"
  "src/engine/WorkSpacePrintEvents.cpp|    const std::wstring extraFile = sent + L\".ext\";|    const std::wstring extraFile = jobFile + L\".ext\";|a Test run's extra data beside the print file instead of its copy"
  "src/app/VellbrookDlgRuns.cpp|::SendMessageW(models.Handle(), LB_SETSEL, TRUE, row);|::SendMessageW(models.Handle(), LB_SETCURSEL, row, 0);|a model in progress highlighted as in a single-selection list"
  "src/app/VellbrookDlgChoices.cpp|(runMode_ == 1 ? workSpace_.PrnFolderRef() : workSpace_.PrnFolder())|(runMode_ == 0 ? workSpace_.PrnFolderRef() : workSpace_.PrnFolder())|the driver folder of the other run mode shown"
  "src/editor/Completion.cpp|const bool callTip = ch == L'\\t' \|\| ch == L' ' \|\| ch == L'(';|const bool callTip = ch == L' ' \|\| ch == L'(';|a tab opening no call tip"
  "src/editor/VariableExpansion.cpp|    if (forLine \|\| StartsWithWord(text, L\"set\", 3)) statement = 3;|    if (StartsWithWord(text, L\"set\", 3)) statement = 3;|a For line's variable never expanded"
  "src/ui/ListCtrlExMenu.cpp|filterColumn_ != -1,|filterColumn_ > 0,|Display all not offered before the first filter"
  "src/ui/PreviewDiffSearch.cpp|    if (ownLength != otherLength) difference_ = common;|    if (ownLength < otherLength) difference_ = common;|bytes only the longer pane holds not marked as differing"
  "src/engine/GlobalScriptHeader.cpp|#FILE_PROFILE#|#PROFILE_FILE#|a wrong settings-file job name in the global script"
  "src/data/DbCell.cpp|            cell.integer = ::sqlite3_column_int64(statement, index);|            cell.integer = ::sqlite3_column_int(statement, index);|a wide integer read cut to 32 bits"
  "src/data/DbCell.cpp|            if (text) cell.text.assign(text, static_cast<size_t>(bytes) / sizeof(wchar_t));|            if (text) cell.text.assign(text);|a text read up to its first zero character"
  "src/data/DbCell.cpp|            if (data) cell.bytes.assign(data, static_cast<size_t>(bytes));|            if (data) cell.bytes.assign(data);|a blob read up to its first zero byte"
  "src/data/DbCell.cpp|            value = static_cast<sqlite3_int64>(cell.real);|            value = static_cast<sqlite3_int64>(cell.real + 0.5);|a real in a LONG column rounded instead of cut"
  "src/data/DbCell.cpp|            value = std::wcstoll(cell.text.c_str(), nullptr, 10);|            value = std::wcstoll(cell.text.c_str(), nullptr, 0);|a text in a LONG column with a leading zero read as octal"
  "src/data/DbCell.cpp|    return declared.size() >= prefix.size() && EqualsNoCase(declared.substr(0, prefix.size()), prefix);|    return declared.size() >= prefix.size() && declared.substr(0, prefix.size()) == prefix;|a column type declared in small letters not recognised"
  "src/data/DbCell.cpp|L\"BIT\")) return DBTYPE_BOOL;|L\"BIT\")) return DBTYPE_I4;|a YESNO column reported as a number"
  "src/data/DbCell.cpp|            return cell.integer == static_cast<LONG>(cell.integer) ? DBTYPE_I4 : DBTYPE_R8;|            return cell.integer == static_cast<ULONG>(cell.integer) ? DBTYPE_I4 : DBTYPE_R8;|a negative integer of an expression read as a real"
  "src/data/DbCell.cpp|            return DBTYPE_R8;|            return DBTYPE_I4;|a real of an expression read as a whole number"
  "src/data/DbCell.cpp|            return Variant::Bool(AsReal(cell) != 0);|            return Variant::Bool(AsReal(cell) > 0);|a YESNO stored as -1 read as false"
  "src/data/DbCell.cpp|    constexpr sqlite3_int64 kHighest = 0xFFFFFFFFLL;|    constexpr sqlite3_int64 kHighest = 0x7FFFFFFFLL;|a count past 31 bits in a LONG column read as nothing"
  "src/data/DbCell.cpp|            if (cell.storage == SQLITE_TEXT) {|            if (cell.storage == SQLITE_BLOB) {|a date's text read as a day count"
  "src/data/DateText.cpp|                  time.wMinute, time.wSecond);|                  time.wSecond, time.wMinute);|minutes and seconds swapped in a date's text"
  "src/data/DateText.cpp|        if (pos != text.size()) return std::nullopt;|        if (pos > text.size()) return std::nullopt;|a date text with something after its time read as a date"
  "src/data/DateText.cpp|        if (pos < text.size() && (!Expect(text, pos, L':')|        if (pos <= text.size() && (!Expect(text, pos, L':')|a date text without seconds refused"
  "src/data/DateText.cpp|time.wMinute > 59|time.wMinute > 60|a date text with minute 60 read as the next hour"
  "src/data/DateText.cpp|    if (!::VariantTimeToSystemTime(date, &back) \|\| back.wDay != time.wDay \|\| back.wMonth != time.wMonth) {|    if (!::VariantTimeToSystemTime(date, &back)) {|a day past the month's end rolled into the next month"
  "src/driver/CIVariable.cpp|HRESULT V::SetSuffix(DispatchCall& call) { return SetText(call, record_.Suffix, true); }|HRESULT V::SetSuffix(DispatchCall& call) { return SetText(call, record_.Prefix, true); }|a variable's suffix stored as its prefix"
  "src/driver/CIVariable.cpp|if (varinfo::IsDateTimeType(record_.Type)) return S_OK;|if (record_.Type == varinfo::kDate) return S_OK;|a printer-date variable switched to counting by the script"
  "src/driver/CIVariable.cpp|        record_.MaxLength = sizeof record_.Value - 1;|        record_.MaxLength = sizeof record_.Value;|an imported variable's maximum length one byte too long after Update"
  "src/driver/CIVariable.cpp|    return call.Return(static_cast<long>(owner_->DateTimeFormats().size()));|    return call.Return(static_cast<long>(owner_->DateTimeFormats().size() - 1));|a variable's date/time count one short"
  "src/driver/CIVariable.cpp|    record_.Counter = *value ? TRUE : FALSE;|    record_.Counter = TRUE;|a counter that the script cannot switch off"
  "src/driver/CIVariable.cpp|    record_.MaxLength = static_cast<DWORD>(*value);|    record_.MaxLength = static_cast<DWORD>(*value); varinfo::ComputeMaxLength(record_);|a maximum length set by the script raised to fit the texts"
  "src/driver/CIVariable.cpp|    } else if (record_.Counter) {|    } else if (record_.Type == varinfo::kCounter) {|a variable switched to counting not advanced by Update"
  "src/driver/CIVariable.cpp|    return call.Return(owner_->GetDateTime(*item));|    return call.Return(owner_->GetDateTime(*item + 1));|a variable's GetDateTime one entry off"
  "src/driver/CIVariable.h|    _tagvarinfo record_;|    const _tagvarinfo& record_;|a variable object sharing the record it was made from"
  "src/driver/VarInfo.h|inline bool IsDateTimeType(WORD type) { return type == kDate \|\| type == kPrinterDate; }|inline bool IsDateTimeType(WORD type) { return type == kDate; }|a printer-date variable not treated as a date"
  "src/driver/VarInfo.h|    kFormula = 32,|    kFormula = 16,|a formula variable given the default maximum length"
  "src/driver/VarInfo.h|    Store(field, vb::ToUtf8(text));|    Store(field, vb::ToAnsi(text));|a variable's text stored in the ANSI code page instead of UTF-8"
  "src/driver/VarInfo.cpp|std::wstring KeyOf(const std::wstring& name) { return vb::ToLower(vb::Trim(name)); }|std::wstring KeyOf(const std::wstring& name) { return vb::Trim(name); }|a variable's key keeping the name's letter case"
  "src/driver/VariableRules.cpp|        Store(record.CounterStep, \"1\");|        Store(record.CounterStep, \"+1\");|a wrong default counter step"
  "src/driver/VariableRules.cpp|        Store(record.CounterStart, \"0\");|        Store(record.CounterStart, \"1\");|a wrong default counter start"
  "src/driver/VariableRules.cpp|        record.CounterBase = 'D';|        record.CounterBase = 'H';|a wrong default counter base"
  "src/driver/VariableRules.cpp|    size_t needed = std::max(value + FieldLength(record.Prefix) + FieldLength(record.Suffix), format);|    size_t needed = std::max(value + FieldLength(record.Prefix), format);|the suffix left out of a variable's maximum length"
  "src/driver/VariableRules.cpp|        record.MaxLength = static_cast<DWORD>(std::max(value, format));|        record.MaxLength = std::max<DWORD>(record.MaxLength, static_cast<DWORD>(std::max(value, format)));|a date's maximum length that never shrinks to a shorter format"
  "src/driver/VariableRules.cpp|    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;||a padded counter value read as 0 at its next step"
  "src/driver/VariableRules.cpp|                      static_cast<long long>(FieldLength(record.Suffix));|                      0;|a counter's suffix taking no room from its width"
  "src/driver/DriverVariables.cpp|constexpr LONG kTimeWord = 2;|constexpr LONG kTimeWord = 1;|the time formats read from the wrong capability word"
  "src/driver/DriverVariables.cpp|    if (!key.empty()) variables_[key] = record;|    variables_[key] = record;|an empty variable's Update stored in the map"
  "src/driver/DriverVariables.cpp|!DeviceOpen() \|\| key.empty()) return|!DeviceOpen()) return|a variable with a blank name stored"
  "src/driver/DriverVariables.cpp|value_or(varinfo::kImport)|value_or(varinfo::kFixed)|a variable without a type made a fixed text"
  "src/driver/DateTimeFormats.cpp|{0x0008, 0x0010, 0x0001, 0x0002, 0x0004}|{0x0008, 0x0010, 0x0002, 0x0001, 0x0004}|the weekday-number and short weekday-name bits swapped"
  "src/driver/DateTimeFormats.cpp|        if (run == 3) return Number(\"%d\", moment.wDayOfWeek);|        if (run == 3) return Number(\"%d\", moment.wDay);|the day of the month rendered as the weekday number"
  "src/driver/DateTimeFormats.cpp|        return Number(run == 1 ? \"%d\" : \"%02d\", moment.wMinute);|        return Number(run == 2 ? \"%02d\" : \"%d\", moment.wMinute);|a run of three minute letters unpadded"
  "src/driver/DateTimeFormats.cpp|    if (times.empty()) return dates;|    if (times.empty()) return times;|a date-only driver given no date/time formats"
  "src/driver/CIDriver.cpp|{3, L\"GetVarInfo\", MemberKind::Method, &D::GetVarInfo},|{8, L\"GetVarInfo\", MemberKind::Method, &D::GetVarInfo},|GetVarInfo answering the driver under a wrong dispid"
  "src/driver/CIDriver.cpp|    varinfo::StoreUtf8(record->Name, *name);|    varinfo::Store(record->Name, vb::ToAnsi(*name));|a driver's variable name looked up in the ANSI code page"
  "src/driver/CIDriver.h|    vb::ComPtr<CIFormat> format_;|    CIFormat* format_;|a format object held without a reference of its own"
  "src/driver/KeyedLookup.h|    std::wstring key = vb::ToLower(vb::Trim(*item));|    std::wstring key = vb::ToLower(*item);|a variable named with surrounding blanks not found by GetVariable"
  "src/driver/ShapeMembers.cpp|LOGPEN pen{PS_SOLID, POINT{*width, *width}, static_cast<COLORREF>(*color)};|LOGPEN pen{PS_SOLID, POINT{*width, 0}, static_cast<COLORREF>(*color)};|a pen sent without its height"
  "src/driver/ShapeMembers.cpp|constexpr DWORD kDefaultPatternRop = 0x42;|constexpr DWORD kDefaultPatternRop = 0xF00021;|a wrong default raster operation for PatBlt"
  "src/driver/ShapeMembers.cpp|static_cast<LONG>(count), points, kShapeRasterOperation);|2L, points, kShapeRasterOperation);|a rounded rectangle sent without its corner"
  "src/driver/ShapeMembers.cpp|SIZE size{extent.x, extent.y};|SIZE size{extent.y, extent.x};|a PatBlt area with width and height swapped"
  "src/driver/ShapeMembers.cpp|return IsColourDevice() && requestedBits != 1 ? screenDepth_ : 1;|return IsColourDevice() ? screenDepth_ : 1;|a 1-bit image asked of a colour device rendered at the screen depth"
  "src/driver/ShapeMembers.cpp|VT_UI2))) return screenDepth_;|VT_UI2))) return 1;|an image without a depth rendered black and white on a colour device"
  "src/driver/ShapeMembers.cpp|const bool heightGiven = givenHeight && *givenHeight != kHeightNotGiven;|const bool heightGiven = givenHeight.has_value();|a picture Height of -1 taken as given"
  "src/driver/ShapeMembers.cpp|                if (position.y + extent.y > pageHeight_) {|                if (extent.y > pageHeight_) {|a picture not cut at the page bottom"
  "src/driver/ShapeMembers.cpp|kEscapeImageSource, 0, fileName->c_str(), nullptr);|kEscapeImageSource, 0, nullptr, nullptr);|the picture's file name not told to the driver"
  "src/driver/ShapeMembers.cpp|::SetStretchBltMode(memoryDC_.Get(), HALFTONE);|::SetStretchBltMode(memoryDC_.Get(), COLORONCOLOR);|a picture scaled without halftoning"
  "src/driver/GdiTextMembers.cpp|constexpr LONG kDefaultPoints = 14;|constexpr LONG kDefaultPoints = 12;|a wrong default size for a GDI font"
  "src/driver/GdiTextMembers.cpp|LONG points = *size == 0 ? kDefaultPoints : std::labs(*size);|LONG points = *size == 0 ? kDefaultPoints : *size;|a negative GDI font size not made positive"
  "src/driver/GdiTextMembers.cpp|::MulDiv(::MulDiv(72, description.lfHeight, screenDpi)|::MulDiv(::MulDiv(96, description.lfHeight, screenDpi)|GDI text rendered at the wrong size in dots"
  "src/driver/GdiTextMembers.cpp|const COLORREF bkColor = call.ULong(6).value_or(kWhiteBackground);|const COLORREF bkColor = call.ULong(6).value_or(0);|a black background by default behind GDI text"
  "src/driver/GdiTextMembers.cpp|            FromDeviceUnits(size);||a GDI text extent in dots instead of hundredths of a millimetre"
  "src/driver/GdiTextMembers.cpp|    POINT position{*left, *top};|    POINT position{*top, *left};|GDI text placed with left and top swapped"
  "src/driver/PrintedObjects.cpp|                    varinfo::ReadUtf8(record->Suffix);|                    std::wstring();|a known variable printed without its suffix"
  "src/driver/PrintedObjects.cpp|entry_.D_SetVarInfo(device_, record->Type, 0, record.get());|entry_.D_SetVarInfo(device_, 0, 0, record.get());|a known variable's type not passed to the driver"
  "src/driver/PrintedObjects.cpp|        position = close + 2;|        position = close + 1;|the text after a variable starting with its last brace"
  "src/driver/PrintedObjects.cpp|(type.empty() ? L\"GENERIC_OBJECT\" : type) + L\"_\"|(type.empty() ? L\"GENERIC_OBJECT\" : type) + L\"-\"|a wrong object name for the driver"
  "src/driver/PrintedObjects.cpp|size.cx = units::FromDots(size.cx, driverInfo_.resolutionX);|size.cx = units::ToDots(size.cx, driverInfo_.resolutionX);|an extent width converted the wrong way"
  "src/driver/PackedDib.cpp|RGBQUAD blackAndWhite[2] = {{0, 0, 0, 0}, {255, 255, 255, 0}};|RGBQUAD blackAndWhite[2] = {{255, 255, 255, 0}, {0, 0, 0, 0}};|a 1-bit image with black and white swapped in its colour table"
  "src/driver/PackedDib.cpp|const DWORD tableEntries = bits == 1 ? 2 : bits <= 8 ? (1u << bits) : 0;|const DWORD tableEntries = bits == 1 ? 2 : 0;|an 8-bit image without its palette"
  "src/driver/PackedDib.cpp|                target[3 * x] = blue;|                target[3 * x] = red;|red in place of blue in 24-bit pixels"
  "src/driver/PackedDib.cpp|        std::memset(target + (targetBits / 8) * width, 0, targetRow - (targetBits / 8) * width);||converted rows padded with the old pixels' bytes"
  "src/driver/PackedDib.cpp|const BYTE* source = pixels + static_cast<size_t>(y) * sourceRow;|const BYTE* source = pixels + static_cast<size_t>(y) * targetRow;|converted rows read at the wrong stride"
  "src/driver/PackedDib.cpp|    header->biPlanes = 1;|    header->biPlanes = 0;|a packed image header without its plane count"
  "src/driver/PackedDib.cpp|return static_cast<DWORD>(((bitsPerPixel * width + 31) / 32) * 4);|return static_cast<DWORD>((bitsPerPixel * width + 7) / 8);|image rows not padded to whole 32-bit words"
  "src/driver/PackedDib.cpp|std::memcpy(locked.Data(), info.data(), sizeof(BITMAPINFOHEADER) + tableSize);|std::memcpy(locked.Data(), info.data(), sizeof(BITMAPINFOHEADER));|the colour table left out of the packed image"
  "src/driver/PackedDib.cpp|            header->biSizeImage = finalImageSize;||a converted image's header keeping the 32-bit size"
  "src/driver/Units.cpp|        if (halves % 2) ++halves;|        if (halves % 2) --halves;|a fraction of half a step rounded down"
  "src/driver/Units.cpp|    if (quotient - whole > 0.5) whole += 1;|    if (quotient - whole >= 0.5) whole += 1;|half a dot rounded away from zero"
  "src/driver/Units.h|constexpr LONG kUnresolved = LONG(0x80000000);|constexpr LONG kUnresolved = LONG(0x80000001);|a wrong result for a conversion by a resolution of 0"
  "src/driver/BitmapCanvas.cpp|    ::PatBlt(dc, 0, 0, width, height, WHITENESS);|    ::PatBlt(dc, 0, 0, width, height, BLACKNESS);|a GDI text or picture canvas starting black"
  "src/driver/DriverWrapper.h|static constexpr LONG kDefaultPageSize = 8000;|static constexpr LONG kDefaultPageSize = 8500;|a wrong default page size"
  "src/driver/DriverWrapper.h|static constexpr SHORT kDefaultResolution = 300;|static constexpr SHORT kDefaultResolution = 203;|a wrong default resolution"
  "src/driver/DriverWrapper.h|static constexpr const wchar_t* kPort = L\"FILE\";|static constexpr const wchar_t* kPort = L\"FILE:\";|a wrong port name handed to the driver"
  "src/driver/DriverWrapper.h|DizEvoviDodu\";|DizEvoviDod\";|a wrong pipe name opened for the driver's output"
  "src/driver/DriverWrapper.h|static constexpr DWORD kCopyRop = 0xCC0020;|static constexpr DWORD kCopyRop = 0xEE0086;|a wrong raster operation for images of GDI text"
  "src/driver/DriverWrapper.h|static constexpr LONG kEscapeImageSource = 0x2012;|static constexpr LONG kEscapeImageSource = 0x2013;|a wrong image-source escape"
  "src/driver/DriverWrapper.h|static constexpr DWORD kShapeRasterOperation = 13;|static constexpr DWORD kShapeRasterOperation = 12;|a wrong mix mode sent with shapes"
  "src/driver/DriverWrapper.h|static constexpr LONG kOpaqueBackground = 2;|static constexpr LONG kOpaqueBackground = 1;|text defaulting to a transparent background"
  "src/driver/DriverWrapper.h|static constexpr COLORREF kWhiteBackground = 0xFFFFFF;|static constexpr COLORREF kWhiteBackground = 0xFFFFFE;|a wrong default background colour"
  "src/driver/DriverWrapper.cpp|return slash == std::wstring::npos ? path : path.substr(slash + 1);|return slash == std::wstring::npos ? path : path.substr(slash);|a short name that keeps its backslash"
  "src/driver/DriverWrapper.cpp|return (hasExtension ? settingsFile.substr(0, dot) : settingsFile) + L\".FNT\";|return (hasExtension ? settingsFile.substr(0, dot) : settingsFile) + L\".FON\";|the driver's own fonts looked for under a wrong name"
  "src/driver/DriverWrapper.cpp|UINT message = FileExists(dllPath) ? IDS_DRIVER_NOT_LOADABLE : IDS_DRIVER_NOT_FOUND;|UINT message = FileExists(dllPath) ? IDS_DRIVER_NOT_FOUND : IDS_DRIVER_NOT_LOADABLE;|a missing driver reported as not loadable"
  "src/driver/DriverWrapper.cpp|        if (result) device_ = 0;|        device_ = 0;|a device the driver refused to end forgotten"
  "src/driver/DriverWrapper.cpp|    driverInfo_.resolutionX = driverInfo_.resolutionY = kDefaultResolution;|    driverInfo_.resolutionY = kDefaultResolution;|the horizontal resolution not preset"
  "src/driver/DriverWrapper.cpp|    objectPosition_ = 0;||the object position kept after the device is released"
  "src/driver/DriverWrapper.cpp|    model_.clear();||the model kept after the device is released"
  "src/driver/DriverWrapper.cpp|if (entry_.D_SetPFAppEventMT) entry_.D_SetPFAppEventMT(device_, 0, eventsWindow_);|if (entry_.D_SetPFAppEventMT) entry_.D_SetPFAppEventMT(device_, 0, nullptr);|the multi-threaded event window never handed to the driver"
  "src/driver/DriverWrapper.cpp|    size_t colon = catalog.find(L':');|    size_t colon = catalog.rfind(L':');|the external models taken after the last colon"
  "src/driver/DriverWrapperDispatch.cpp|DISPID W::DefaultMember() noexcept { return kModelId; }|DISPID W::DefaultMember() noexcept { return 1; }|the name as the default member instead of the model"
  "src/driver/DriverWrapperDispatch.cpp|HRESULT W::GetPagePerCol(DispatchCall& call) { return call.Return(pagesPerColumn_); }|HRESULT W::GetPagePerCol(DispatchCall& call) { return call.Return(pagesPerRow_); }|labels per row reported as labels per column"
  "src/driver/DriverWrapperDispatch.cpp|{10, L\"ObjectPosition\", P, &W::GetObjectPosition, &W::SetObjectPosition},|{10, L\"ObjectPosition\", P, &W::GetObjectPosition},|an object position that a script cannot set"
  "src/driver/DriverWrapperDispatch.cpp|        {47, L\"GetLastError\", M, &W::GetLastErrorMember},|        {46, L\"GetLastError\", M, &W::GetLastErrorMember},|a wrong dispid for GetLastError"
  "src/driver/DriverWrapperDispatch.cpp|    objectPosition_ = *value;|    objectPosition_ = -*value;|a wrong object position stored"
  "src/driver/FamilyProperties.cpp|{F::Fam04, 3, Field::U16, 882, C::I4OrZero, kFeedModes, 380},|{F::Fam04, 3, Field::U16, 882, C::I4OrZero, kFeedModes},|a FAM04 feed mode not copied to the common field"
  "src/driver/FamilyProperties.cpp|{F::Fam01, 1, Field::U16, 1212, C::I2Kept,|{F::Fam01, 1, Field::U16, 1210, C::I2Kept,|a FAM01 image format at a wrong offset"
  "src/driver/FamilyProperties.cpp|{F::Fam02, 1, Field::U16, 1160, C::I2Kept, L\"0x0000;0x0002\"},|{F::Fam02, 1, Field::U16, 1160, C::I2Kept, L\"0x0000;0x0001\"},|wrong FAM02 image formats allowed"
  "src/driver/FamilyProperties.cpp|L\"0;0x0002;0x0004\", 0, 0x0006},|L\"0;0x0002;0x0004\", 0, 0x0007},|a FAM10 image format mask one bit too wide"
  "src/driver/FamilyProperties.cpp|{F::Fam11, 5, Field::U16, 21556,|{F::Fam11, 5, Field::U16, 21558,|FAM11 driver options at a wrong offset"
  "src/driver/FamilyProperties.cpp|{F::Fam12, 5, Field::I32, 892, C::I4Kept,|{F::Fam12, 5, Field::U16, 892, C::I4Kept,|FAM12 driver options written as 16 bits"
  "src/driver/FamilyProperties.cpp|{kEveryFamily, 2, Field::I32, 180, C::I4Kept, kSupportTypes},|{kEveryFamily, 2, Field::I32, 180, C::I4OrZero, kSupportTypes},|a support type that is no number written as zero"
  "src/driver/FamilyProperties.cpp|WORD bits = static_cast<WORD>(*options & ~0x0002);|WORD bits = static_cast<WORD>(*options);|a label rotation of 0 that leaves the rotation bit set"
  "src/driver/FamilyProperties.cpp|constexpr size_t kRotationText = 888;|constexpr size_t kRotationText = 884;|the FAM05 rotation text at a wrong offset"
  "src/driver/FamilyProperties.cpp|devmode.Set32(row.offset, (static_cast<DWORD>(*field) & ~row.mask) \| static_cast<DWORD>(value));|devmode.Set32(row.offset, static_cast<DWORD>(value));|a FAM10 image format that clears the field's other bits"
  "src/driver/FamilyProperties.cpp|vb::Variant(static_cast<long>(*field & static_cast<LONG>(row.mask)))|vb::Variant(static_cast<long>(*field))|a FAM10 image format read with the field's other bits"
  "src/driver/FamilyProperties.cpp|kPlainCommonOptionValues = L\"0x0001;0x0002;0x0004;0x0200\";|kPlainCommonOptionValues = L\"0x0001;0x0002;0x0004;0x0100\";|wrong unmarked common options allowed"
  "src/driver/FamilyProperties.cpp|11;12;13;14;15;16;17;18\";|11;12;13;14;15;16;17\";|the last feed mode missing from the allowed values"
  "src/driver/FamilyProperties.cpp|constexpr size_t kImageFormatTextSize = 32;|constexpr size_t kImageFormatTextSize = 16;|an image format text cut short"
  "src/driver/FamilyProperties.cpp|{F::Fam11, 1, Field::I32, 908, C::I4OrZero, L\"0;1\"},|{F::Fam11, 1, Field::I32, 908, C::I4Kept, L\"0;1\"},|a FAM11 image format that is no number kept instead of zero"
  "src/driver/FamilyProperties.cpp|resolved.field = marked ? Field::U16 : Field::I16;|resolved.field = Field::U16;|unmarked common options read unsigned"
  "src/driver/FamilyProperties.cpp|{F::Fam01, 5, Field::I16, kOptionsWord, C::I4OrZero, kSixteenBits},|{F::Fam01, 5, Field::U16, kOptionsWord, C::I4OrZero, kSixteenBits},|FAM01 driver options read unsigned"
  "src/driver/FamilyProperties.cpp|{F::Fam13, 1, Field::AnsiText, kImageFormatText, C::TextRule, L\"THIN;FAT;PCX\"},|{F::Fam13, 1, Field::AnsiText, kImageFormatText, C::TextRule, L\"THIN;FAT\"},|a FAM13 image format missing from the allowed values"
  "src/driver/DriverProperties.cpp|constexpr LONG kRfidCaps = 6;|constexpr LONG kRfidCaps = 7;|a wrong RFID capability index"
  "src/driver/DriverProperties.cpp|return call.Return(std::wstring(colour ? L\"1;16;24;32\" : L\"1\"));|return call.Return(std::wstring(colour ? L\"1;16;24\" : L\"1\"));|a colour depth missing from DIBColors"
  "src/driver/DriverProperties.cpp|bool colour = devmode_.I16(DevmodeBuffer::kColor).value_or(0) == 2;|bool colour = devmode_.I16(DevmodeBuffer::kColor).value_or(0) != 1;|colour depths offered to a device without a colour field"
  "src/driver/DriverProperties.cpp|    if (target) ::VariantClear(target);||RFID names left as they were when the device has no RFID"
  "src/driver/DriverProperties.cpp|return call.Return(GetPropertyValues(*id, call.Text(1).value_or(L\";\")));|return call.Return(GetPropertyValues(*id, call.Text(1).value_or(L\",\")));|a wrong default separator of the allowed values"
  "src/driver/DriverProperties.cpp|return entry_.D_PrinterParameter(device_, devmode_.Data(), &name, copy.Get()) >= 0;|return entry_.D_PrinterParameter(device_, devmode_.Data(), &name, copy.Get()) > 0;|a parameter the driver accepted with 0 reported as refused"
  "src/driver/DriverProperties.cpp|&call.Arg(0), result) < 0) ::VariantClear(result);|&call.Arg(0), result) <= 0) ::VariantClear(result);|a parameter the driver read with 0 answered as empty"
  "src/driver/DriverProperties.cpp|return call.Return(entry_.D_GetLastError && DeviceOpen() ? entry_.D_GetLastError() : 0L);|return call.Return(entry_.D_GetLastError ? entry_.D_GetLastError() : 0L);|the last error asked for without an open device"
  "src/driver/DriverApi.h|    BYTE reserved2[84];|    BYTE reserved2[82];|the driver's resolution read two bytes early"
  "src/driver/DriverApi.h|typedef result(WINAPI* PFN_##name) params;|typedef result(* PFN_##name) params;|entry points called with the wrong calling convention"
  "src/driver/DriverApi.h|X(D_EscapeW, LONG, (DRIVERHANDLE h, LONG code, DWORD value,|X(D_EscapeW, LONG, (DRIVERHANDLE h, LONG code, WORD value,|an escape value cut to 16 bits"
  "src/driver/DriverIds.h|inline constexpr IID IID_CICodeExClass = {0x5B0E2D42,|inline constexpr IID IID_CICodeExClass = {0x5B0E2D41,|the code objects' private id the same as the font objects'"
  "src/driver/DriverIds.h|inline constexpr IID IID_IDriver = {0x940A7F80,|inline constexpr IID IID_IDriver = {0x940A7F88,|a wrong interface id for the Driver object"
  "src/driver/TextMembers.cpp|constexpr LONG kEscapePiece = 0x201F;|constexpr LONG kEscapePiece = 0x2020;|a wrong escape before each piece of a text"
  "src/driver/TextMembers.cpp|    std::vector<std::wstring> pieces = SplitVariables(*text, rotation == 900 \|\| rotation == 1800);|    std::vector<std::wstring> pieces = SplitVariables(*text, rotation == 900);|an upside-down text's pieces printed in their own order"
  "src/driver/TextMembers.cpp|            if (i == 0) position.y += h;|            position.y += h;|every piece of an upside-down text lowered by its height"
  "src/driver/TextMembers.cpp|        if (rotation == 2700) position.y += w;|        if (rotation == 2700) position.x += w;|a text turned 270 degrees with its later pieces moved sideways"
  "src/driver/TextMembers.cpp|    case 900:|    case 90:|a barcode turned 90 degrees left where it starts"
  "src/driver/TextMembers.cpp|        position.x += h;|        position.y += h;|a barcode turned 270 degrees moved down instead of right"
  "src/driver/TextMembers.cpp|    ToDeviceUnitsXY(width, height);||a code's sizes handed to the driver in 1/100 mm"
  "src/driver/TextMembers.cpp|    if (codes_.empty()) return call.Return(0L);||a code selected on a device without barcode types"
  "src/driver/TextMembers.cpp|        SendVariableInfo(piece);||a text's variable measured by its name instead of its value"
  "src/driver/TextMembers.cpp|        total.cy += HIWORD(extent);|        total.cy = HIWORD(extent);|a text's height taken from its last piece only"
  "src/driver/TextMembers.cpp|vb::ComPtr<CICodeEx>::Attach(CICodeEx::FromDescription(this, currentCode_))|vb::ComPtr<CICodeEx>::Attach(new CICodeEx(this))|the data check blind to the selected code type"
  "src/driver/CICodeEx.cpp|    d[kByte20] = 20;|    d[kByte20] = 0;|byte 20 of a code description left undefaulted"
  "src/driver/CICodeEx.cpp|    WriteLong(d, kGap, 1);|    WriteLong(d, kGap, 0);|a code's gap not defaulted to 1"
  "src/driver/CICodeEx.cpp|    d[kByte40] = 1;|    d[kByte40] = 0;|byte 40 of a code description left undefaulted"
  "src/driver/CICodeEx.cpp|    d[kCheckDigit] = twoDimensional ? 3 : 0;|    d[kCheckDigit] = twoDimensional ? 1 : 0;|a wrong check digit default for a two-dimensional code"
  "src/driver/CICodeEx.cpp|constexpr WORD kMicroPdf = 59;|constexpr WORD kMicroPdf = 58;|a MicroPDF's Option1 kept from the driver"
  "src/driver/CICodeEx.cpp|        if (ReadLong(d, kOption1) > 4) WriteLong(d, kOption1, 4);|        if (ReadLong(d, kOption1) > 5) WriteLong(d, kOption1, 5);|type 152's Option1 capped at 5"
  "src/driver/CICodeEx.cpp|59, 152, 153};|59, 152};|type 153 not two-dimensional"
  "src/driver/CICodeEx.cpp|        return n == 5 \|\| n == 9 \|\| n == 11 ? 1 : -4;|        return n == 5 \|\| n == 9 ? 1 : -4;|an 11-digit POSTNET refused"
  "src/driver/CICodeEx.cpp|        return n > 25 ? -2 : DigitsOnly(data);|        return n > 26 ? -2 : DigitsOnly(data);|a 26-character Plessey accepted"
  "src/driver/CICodeEx.cpp|    case kSscc128:||SSCC data not checked for digits"
  "src/driver/CICodeEx.cpp|        return n <= 14 ? 1 : -2;|        return n < 14 ? 1 : -2;|a 14-character ITF-14 refused"
  "src/driver/CICodeEx.cpp|    if (IsBarcode2D()) return n > 2000 ? -2 : 1;|    if (IsBarcode2D()) return n >= 2000 ? -2 : 1;|2000 characters refused for a two-dimensional code"
  "src/driver/CICodeEx.cpp|&C::GetCheckInHR, &C::SetByte<kCheckInHR>}|&C::GetCheckInHR, &C::SetByte<kHumanReadable>}|CheckInHR written over HumanReadable"
  "src/driver/CICodeEx.cpp|&C::GetLong<kOption2>, &C::SetLong<kOption2>}|&C::GetLong<kOption2>, &C::SetLong<kOption1>}|Option2 written over Option1"
  "src/driver/CIFontEx.cpp|return call.ReturnBool(record_.font.lfWeight >= kBold);|return call.ReturnBool(record_.font.lfWeight > kBold);|a bold font read as not bold"
  "src/driver/CIFontEx.cpp|constexpr LONG kNormal = 400;|constexpr LONG kNormal = 0;|a font set not bold handed over with the driver's default weight"
  "src/driver/CIFontEx.cpp|    if (std::fabs(height) - magnitude > 0.5) magnitude += 1;|    if (std::fabs(height) - magnitude >= 0.5) magnitude += 1;|a height of exactly half a dot rounded up"
  "src/driver/CIFontEx.cpp|return SetByte(call, record_.font.lfUnderline);|return SetByte(call, record_.font.lfStrikeOut);|Underline set as strikethrough"
  "src/driver/CIFontEx.cpp|return SetByte(call, record_.font.lfCharSet);|return SetByte(call, record_.font.lfQuality);|a charset that never reaches the driver"
  "src/driver/CIFontEx.cpp|    field = static_cast<BYTE>(*value & 0xFF);|    field = static_cast<BYTE>(*value != 0);|a font flag stored as 1 instead of its low byte"
  "src/driver/CIFontEx.cpp|::GetStockObject(DEFAULT_GUI_FONT)|::GetStockObject(SYSTEM_FONT)|an unknown font falling back to the system font"
  "src/driver/CICodeEx.h|    static DISPID DefaultMember() noexcept { return 1; }|    static DISPID DefaultMember() noexcept { return 2; }|a code read as its type instead of its name"
  "src/driver/CIFontEx.h|    static DISPID DefaultMember() noexcept { return 0; }|    static DISPID DefaultMember() noexcept { return 2; }|a font read as its size instead of its name"
  "src/driver/CISize.cpp|    size_.cy = *value;|    size_.cx = *value;|a size's cy written into cx"
  "src/driver/CISize.h|    static DISPID DefaultMember() noexcept { return DISPID_UNKNOWN; }|    static DISPID DefaultMember() noexcept { return 1; }|a size read as a value giving its width"
  "src/driver/DeviceRecords.h|    BYTE description[144];|    BYTE description[148];|a code record four bytes too long"
)

echo "Copying the tree to $work"
mkdir -p "$work"
tree="$work/src-tree"
rm -rf "$tree"
mkdir -p "$tree"
# The tracked files and the new ones, as they are in the working tree (deleted ones left out).
(cd "$root" && git ls-files --cached --others --exclude-standard -z |
    while IFS= read -r -d '' file; do if [ -e "$file" ]; then printf '%s\0' "$file"; fi; done |
    xargs -0 cp --parents -t "$tree")
build="$work/build"
export VB_WINEPREFIX="$build/wineprefix"
# Builds the copy and runs every test; a display of its own for the windowed tests.
run_suite() {
    cmake --build "$build" -j"$(nproc)" >"$work/build.log" 2>&1 || return 2
    (cd "$build" && xvfb-run -a ctest --stop-on-failure --timeout 300 ${MUTATION_TESTS:+-R "$MUTATION_TESTS"} \
        >"$work/test.log" 2>&1) || return 1
    return 0
}
cmake -S "$tree" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$tree/cmake/mingw-i686.cmake" -DCMAKE_BUILD_TYPE=Release >/dev/null
if ! run_suite; then
    echo "The suite fails without any fault: see $work/test.log" >&2
    exit 1
fi

caught=0
missed=0
for fault in "${faults[@]}"; do
    IFS='|' read -r file from to what <<<"$(printf '%s' "$fault" | sed 's/\\|/\x01/g')"
    from="${from//$'\x01'/|}"
    to="${to//$'\x01'/|}"
    if [ -n "$only" ] && ! [[ "$file" =~ $only || "$what" =~ $only ]]; then continue; fi
    path="$tree/$file"
    cp "$path" "$work/original"
    if ! FROM="$from" TO="$to" python3 - "$path" <<'PY'
import os, sys
path = sys.argv[1]
text = open(path, encoding="utf-8").read()
old, new = os.environ["FROM"], os.environ["TO"]
if text.count(old) != 1:
    sys.exit(1)
open(path, "w", encoding="utf-8").write(text.replace(old, new))
PY
    then
        echo "NOT APPLIED  $what ($file): the text is not there exactly once"
        missed=$((missed + 1))
        continue
    fi
    result=0
    run_suite || result=$?
    cp "$work/original" "$path"
    touch "$path"
    case $result in
        0) echo "MISSED       $what ($file)"; missed=$((missed + 1)) ;;
        1) echo "caught       $what ($file): $(grep -oE 'Test +#[0-9]+: [A-Za-z0-9_-]+ .*(Failed|Timeout|Exception)' "$work/test.log" | awk '{print $3}' | tr '\n' ' ')"
           caught=$((caught + 1)) ;;
        2) echo "caught       $what ($file): it does not build"; caught=$((caught + 1)) ;;
    esac
done
echo "$caught of $((caught + missed)) faults caught"
[ "$missed" -eq 0 ]
