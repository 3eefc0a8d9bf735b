#pragma once
// The sample driver's call log, which tests read back to see what the bench called.
//
// When the environment variable VB_SAMPLE_DRIVER_LOG names a file, every entry point call and
// every process attach/detach appends one line to it. The variable is read at each call, so a
// test may point it elsewhere (or clear it) while the library stays loaded. The file is opened,
// appended to and closed for each line, so nothing is lost when the library is unloaded.
//
// Encoding UTF-8 without a byte order mark; every line ends with "\r\n".
//
//   <module>: attach
//   <module>: detach
//   <module>: <entry point>(<arguments>)
//
// <module> is the file name of this library as loaded (after the last backslash, case as given),
// e.g. "FAM03.PRN" for a copy loaded from C:\bench\FAM03.PRN.
// <arguments> are joined by ", "; numbers and handles are decimal, window handles their decimal
// value, text as given (a null string is empty). Entry points with their own arguments:
//
//   D_EnableDriverW(<model>, <port>)
//   D_Disable(<handle>)
//   D_SetPFMessageBox(<handle>, <window>)       likewise D_SetPFAppEvent, D_SetPFAppEventMT,
//                                               D_SetParentWindow
//   D_RFIDUpdateInterface(<handle>, taken)      flag 0
//   D_RFIDUpdateInterface(<handle>, released)   flag 1 (any other flag is logged as its number)
//   D_GetLastError()
//   D_SetCountry(<handle>, <country>, <unit>)
//   D_RealizeDMW(<handle>, <model>)
//   D_SaveDMW(<handle>, <model>, <settings file>)
//   D_DevCapsW(<handle>, <index>)
//   D_SelectFontW(<handle>, <face>, <lfHeight>, <lfEscapement>)    a null font: D_SelectFontW(<handle>, 0)
//   D_SelectCodeW(<handle>, <code name>, <ModuleX>, <ModuleY>)     a null code: D_SelectCodeW(<handle>, 0)
//   D_EscapeW(<handle>, <code>, <value>, <input>, <output>)
//       code as 0x and at least four upper-case hex digits; input the wide text it points to, 0
//       when null; output "object" when non-null, else 0
//   D_PrinterParameter(<handle>, <name>, <value>)  value as text; empty for a read and for a
//                                                  value that has no text
//   D_SetVarInfo(<handle>, <record type>, <record Name>)   a null record: 0 for the name
//   D_GetDrvCaps(<handle>, <index>, <sub-index>)
//   D_SetSpecificOptions(<handle>, <options>)
//   D_StartDocW(<handle>, <document name>, <output file>)  a null or too short DOCINFOW:
//                                                          D_StartDocW(<handle>, 0)
//   D_TextOutW(<handle>, <x>, <y>, <text>)       likewise D_CodeOutW with the data; the text of
//                                                the length given; a null position logs 0, 0
//   D_GetTextExtW(<handle>, <text>)
//   D_GetCodeExtW(<handle>, <data>, <length>)
//   D_IsValidDataW(<handle>, <data>)
//   D_Output(<handle>, <style>, <count>)
//   D_PrintDIB(<handle>, image)                  a null image: D_PrintDIB(<handle>, none)
//
// Every other entry point logs just its handle: "<entry point>(<handle>)".
//
// The test escapes that call the bench's callback object log what they got, after their
// D_EscapeW line:
//
//   variable <name>: found type=<Type> value=<Value>      escape 0x7001
//   variable <name>: missing
//   variable <name>: failed 0x<HRESULT, 8 hex digits>
//   format: page <PageWidth>x<PageHeight> label <LabelWidth>x<LabelHeight>      escape 0x7002
//   format: failed 0x<HRESULT, 8 hex digits>
#include <windows.h>

#include <initializer_list>
#include <string>
#include <string_view>

namespace vb::sample {

std::wstring ArgumentText(unsigned long value);
std::wstring ArgumentText(long value);
std::wstring ArgumentText(const wchar_t* text);
std::wstring ArgumentText(const std::wstring& text);
std::wstring ArgumentText(HWND window);

// The file name of this library as loaded, without its folder ("FAM03.PRN").
std::wstring ModuleFileName();

// "0x" and at least four upper-case hex digits: 0x203F, 0x80004005.
std::wstring HexText(unsigned long value);

// "D_Disable" and {"1"} give "D_Disable(1)".
std::wstring FormatCall(std::string_view entryPoint, std::initializer_list<std::wstring> arguments);

// Appends "<module>: <event>" when logging is switched on; never changes the thread's last error.
void LogLine(std::wstring_view event);

template <class... Arguments>
void LogCall(std::string_view entryPoint, const Arguments&... arguments) {
    LogLine(FormatCall(entryPoint, {ArgumentText(arguments)...}));
}

}  // namespace vb::sample
