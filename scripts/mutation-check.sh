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
