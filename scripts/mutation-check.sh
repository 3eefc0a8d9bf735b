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
