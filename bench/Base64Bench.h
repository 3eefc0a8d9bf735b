#pragma once
#include <string>

// Base64 encode and decode throughput on a 64 MB buffer beside memcpy of the same buffer.
// Returns false when a round trip does not give the buffer back.
bool RunBase64Bench(const std::wstring& folder);
