#pragma once
#include <string>
#include <vector>

#include "VarInfo.h"

// How a variable record gets its defaults and its rendered value; shared by the driver wrapper,
// which creates records, and the variable object, which changes and updates them.
namespace varinfo {

void SetDefaultsByType(_tagvarinfo& record, const std::vector<std::wstring>& dateTimeFormats);
void SetCounterDefaults(_tagvarinfo& record);
void SetDateTimeDefaults(_tagvarinfo& record, const std::vector<std::wstring>& dateTimeFormats);
void ComputeMaxLength(_tagvarinfo& record);

// The counter's next value: Value plus Increment, written into Value padded to the width the
// maximum length leaves beside the prefix and suffix.
void AdvanceCounter(_tagvarinfo& record);

}  // namespace varinfo
