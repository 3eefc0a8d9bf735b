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
  "src/driver/DeviceContext.cpp|    devmode_.Set32(kSheetHeight, static_cast<DWORD>(labelHeight * perColumn));|    devmode_.Set32(kSheetHeight, static_cast<DWORD>(labelHeight * perRow));|a wrong sheet height in the devmode"
  "src/driver/DeviceContext.cpp|    devmode_.Set32(kPagesPerColumn, static_cast<DWORD>(perColumn));|    devmode_.Set32(kPagesPerColumn, static_cast<DWORD>(perRow));|the labels per row written as the labels per column"
  "src/driver/DeviceContext.cpp|    LONG labelHeight = (height / 10) / perColumn;|    LONG labelHeight = (height / 10) / perRow;|a label height divided by the labels per row"
  "src/driver/DeviceContext.cpp|    devmode_.Set16(kSetupKind, 7);|    devmode_.Set16(kSetupKind, 6);|a wrong set-up kind in the devmode"
  "src/driver/DeviceContext.cpp|constexpr WORD kPortrait = 1;|constexpr WORD kPortrait = 2;|a landscape page in the devmode"
  "src/driver/DeviceContext.cpp|constexpr DWORD kPaperFieldsUsed = 0x2 \| 0x4 \| 0x8;|constexpr DWORD kPaperFieldsUsed = 0x2 \| 0x4;|the paper width not marked as set in the devmode"
  "src/driver/DeviceContext.cpp|*options & ~0x0100);|*options & ~0x0010);|the wrong FAM01 option bit cleared at set-up"
  "src/driver/DeviceContext.cpp|        devmode_.Set16(kFam02Field, 2);|        devmode_.Set16(kFam02Field, 1);|a wrong FAM02 value in the devmode"
  "src/driver/DeviceContext.cpp|        if (owner_) owner_->OpenPipe(kPipeName);||a FAM05 set-up opening no pipe"
  "src/driver/DeviceContext.cpp|static_cast<DWORD>(*options) \| 0x2);|static_cast<DWORD>(*options) \| 0x4);|the wrong FAM10 option bit set at set-up"
  "src/driver/DeviceContext.cpp|constexpr long kHeadTemperatureDefault = 20;|constexpr long kHeadTemperatureDefault = 10;|a wrong head temperature at set-up"
  "src/driver/DeviceContext.cpp|*vb::Variant::Bool(true).Get());|*vb::Variant::Bool(false).Get());|images not reloaded after a page set-up"
  "src/driver/DeviceContext.cpp|    SetEnableEvents(FALSE);|    SetEnableEvents(TRUE);|events left on at device opening"
  "src/driver/DeviceContext.cpp|    std::wstring folder = dllPath_.substr(0, dllPath_.rfind(L'\\\\') + 1);|    std::wstring folder = dllPath_.substr(0, dllPath_.rfind(L'\\\\'));|the driver folder escapes without the trailing backslash"
  "src/driver/DeviceContext.cpp|    if (self->defaultFontName_.empty()) self->defaultFontName_ = key;|    self->defaultFontName_ = key;|the last font enumerated taken as the default"
  "src/driver/DeviceContext.cpp|    objectCounter_ = 0;||object names counting on from the previous document"
  "src/driver/DeviceContext.cpp|static_cast<DWORD>(*input), text.c_str(), nullptr));|static_cast<DWORD>(*input), nullptr, nullptr));|a script escape's text not passed to the driver"
  "src/driver/DocumentMembers.cpp|vb::ToShort(call.Arg(5)) == SHORT{-1};|vb::ToShort(call.Arg(5)) != SHORT{0};|a paper text for any non-zero trace"
  "src/driver/DocumentMembers.cpp|L\"Paper: %u x %u, DPI: %u x %u\", static_cast<unsigned>(pageWidth_),|L\"Paper: %u x %u, DPI: %u x %u\", static_cast<unsigned>(pageHeight_),|the page height given as the width in the paper text"
  "src/driver/DocumentMembers.cpp|    const bool hookFamily = Family() == DriverFamily::Fam09;|    const bool hookFamily = Family() == DriverFamily::Fam08;|the hook switched on for the wrong family"
  "src/driver/DocumentMembers.cpp|CDriverHandler::kHookSwitch, L\"OFF\", L\"\");|CDriverHandler::kHookSwitch, L\"ON\", L\"\");|the hook switched on again at the document end"
  "src/driver/DocumentMembers.cpp|items = {Unsigned(pair[0]), Unsigned(pair[1])};|items = {Unsigned(pair[1]), Unsigned(pair[0])};|width and height of the smallest and largest paper swapped"
  "src/driver/DocumentMembers.cpp|constexpr size_t kCapabilityNameSize = 64;|constexpr size_t kCapabilityNameSize = 32;|paper names read at the wrong stride"
  "src/driver/DocumentMembers.cpp|D_SetCountry(device_, *country, *unit, 0)|D_SetCountry(device_, *unit, *country, 0)|country and unit swapped"
  "src/driver/DocumentMembers.cpp|    if (entry_.D_RealizeDMW) entry_.D_RealizeDMW(device_, devmode_.Data(), devmode_.Data(), model_.c_str());||a document's set-up never applied by the driver"
  "src/driver/CIFormat.cpp|owner_->Devmode().I32(kLabelHeight).value_or(0)|owner_->Devmode().I32(kLabelWidth).value_or(0)|the label height read from the label width"
  "src/driver/CIFormat.cpp|owner_->Devmode().I16(DevmodeBuffer::kPaperLength).value_or(0)|owner_->Devmode().I16(DevmodeBuffer::kPaperWidth).value_or(0)|the page height read from the paper width"
  "src/driver/CIFormat.cpp|DISPID F::DefaultMember() noexcept { return 3; }|DISPID F::DefaultMember() noexcept { return 4; }|the wrong default member of the label format"
  "src/driver/CIFormat.cpp|HRESULT F::GetFalse(DispatchCall& call) { return call.ReturnBool(false); }|HRESULT F::GetFalse(DispatchCall& call) { return call.ReturnBool(true); }|a label format answering True for portrait and margins"
  "src/driver/CIFormat.cpp|{1, L\"Application\", P, &F::GetNothing},|{1, L\"Application\", P, &F::GetNothing, &F::IgnoreWrite},|the label format's Application accepting a new value"
  "src/driver/CIFormat.cpp|    return call.ReturnShort(0);|    return call.ReturnShort(1);|the label format's check answering a failure"
  "src/driver/CIFormat.h|explicit CIFormat(CDriverWrapper* owner) : owner_(owner) {}|explicit CIFormat(CDriverWrapper* owner) : owner_(nullptr) {}|a label format without its owner"
  "src/driver/DevmodeBuffer.cpp|(*marker == 0x7E40 \|\| *marker == 0x7E41)|(*marker == 0x7E40)|a devmode of the other driver generation taken as unmarked"
  "src/driver/DevmodeBuffer.cpp|text.data(), std::min(text.size(), size - 1));|text.data(), std::min(text.size(), size));|a devmode text filling its field without a terminator"
  "src/driver/DevmodeBuffer.h|width <= bytes_.size() - offset;|width < bytes_.size() - offset;|the last field of a devmode out of reach"
  "src/driver/DriverFamily.cpp|for (int number = 1; number <= 16; ++number) {|for (int number = 1; number < 16; ++number) {|the FAM16 driver family not recognised"
  "src/driver/DriverFamily.h|Fam09, Fam10,|Fam10, Fam09,|the FAM09 and FAM10 families taken for each other"
  "src/driver/DriverEntryPoints.h|void Clear() noexcept { *this = DriverEntryPoints{}; }|void Clear() noexcept {}|entry points of a freed library kept"
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
