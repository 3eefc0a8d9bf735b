#include "VbScriptKeywords.h"

// Statements and built-in functions; `Driver` is here because scripts meet it on every line.
const char kVbScriptKeywords[] =
    "Call Const Dim Do Loop Erase Exit For Each To Step Next MsgBox If Then Else ElseIf On "
    "Error Resume Goto Option Explicit Private Public Randomize Rem Select Case Get Let Set "
    "Sub Function End While Wend Stop With Debug Err Clear TypeName Unescape VarType Escape "
    "Execute ExecuteGlobal Filter Fix GetLocale SetLocale GetRef InputBox LoadPicture ByVal "
    "ByRef Property Me New Class CreateObject GetObject ScriptEngine ScriptEngineBuildVersion "
    "ScriptEngineMajorVersion ScriptEngineMinorVersion And Eqv Imp Is Not Or Xor In Abs Atn "
    "Tan Cos Sgn Sin Sqr Oct Hex Mod RGB Rnd Round Exp Log Array LBound Preserve ReDim UBound "
    "IsArray IsDate IsEmpty IsNull IsNumeric IsObject Eval CBool CByte CCur CDate CDbl CLng "
    "CInt CSng CStr FormatCurrency FormatDateTime FormatNumber FormatPercent Space Join Split "
    "StrComp String StrReverse LCase Left Len UCase Chr Asc LTrim RTrim Trim Mid InStrRev "
    "InStr Replace Right Date Day DateAdd DateDiff DatePart DateSerial DateValue Time Timer "
    "TimeSerial TimeValue Second Minute Hour Month MonthName Now Weekday WeekdayName Year "
    "Driver";

// Constants of the language and of the bench's own objects.
const char kVbScriptConstants[] =
    "Empty False True Nothing Null vbObjectError vbBinaryCompare vbTextCompare "
    "vbDatabaseCompare vbGeneralDate vbLongDate vbShortDate vbLongTime vbShortTime vbSunday "
    "vbMonday vbTuesday vbWednesday vbThursday vbFriday vbSaturday vbFirstJan1 vbFirstFourDays "
    "vbFirstFullWeek vbUseSystem vbUseSystemDayOfWeek vbEmpty vbNull vbInteger vbLong vbSingle "
    "vbDouble vbCurrency vbDate vbString vbObject vbError vbBoolean vbVariant vbDataObject "
    "vbDecimal vbByte vbArray vbBlack vbRed vbGreen vbYellow vbBlue vbMagenta vbCyan vbWhite "
    "vbCr vbCrLf vbFormFeed vbLf vbNewLine vbNullChar vbNullString vbTab vbVerticalTab "
    "vbOKOnly vbOKCancel vbAbortRetryIgnore vbYesNoCancel vbYesNo vbRetryCancel vbCritical "
    "vbQuestion vbExclamation vbInformation vbDefaultButton1 vbDefaultButton2 vbDefaultButton3 "
    "vbDefaultButton4 vbApplicationModal vbSystemModal vbOK vbCancel vbAbort vbRetry vbIgnore "
    "vbYes vbNo shDesktopFolder shInternetFolder shProgramsFolder shControlsFolder "
    "shPrintersFolder shPersonalFolder shFavoritesFolder shStartupFolder shRecentFolder "
    "shSendtoFolder shBitbucketFolder shStartmenuFolder shMyMusicFolder shMyVideoFolder "
    "shDesktopDirectoryFolder shDrivesFolder shNetworkFolder shNethoodFolder shFontsFolder "
    "shTemplatesFolder shCommonStartmenuFolder shCommonProgramsFolder shCommonStartupFolder "
    "shCommonDesktopDirectoryFolder shAppdataFolder shPrinthoodFolder shLocalAppdataFolder "
    "shAltStartupFolder shCommonAltStartupFolder shCommonFavoritesFolder shInternetCacheFolder "
    "shCookiesFolder shHistoryFolder shCommonAppdataFolder shWindowsFolder shSystemFolder "
    "shProgramFilesFolder shMyPicturesFolder shTemporaryFolder shForReading shForWriting "
    "shForAppending shTristateUseDefault shTristateTrue shTristateFalse clsReplaceText "
    "clsFillTextObject clsDocument clsShell clsEmail msgInfo msgWarning msgError msgQuestion "
    "msgPlay msgStop evtCancelPrintJob evtCancelPrintObject";
