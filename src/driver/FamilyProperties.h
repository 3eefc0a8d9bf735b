#pragma once
#include <oaidl.h>

#include <string>

#include "DevmodeBuffer.h"
#include "DriverFamily.h"
#include "Variant.h"

// The label-printer settings that each family keeps in its devmode, reached by property number
// without the script knowing where they live. Ids: 0 head temperature, 1 image format,
// 2 support type, 3 feed mode, 4 label rotation, 5 driver options, 6 common options.
namespace family_properties {

// Empty when the family has no such property or its field lies outside the devmode.
vb::Variant Get(DriverFamily family, const DevmodeBuffer& devmode, long id);
void Set(DriverFamily family, DevmodeBuffer& devmode, long id, const VARIANT& value);
// The allowed values joined by `separator`, hexadecimal ones in the script's "&h" form; "0" when
// there are none.
std::wstring Values(DriverFamily family, const DevmodeBuffer& devmode, long id, const std::wstring& separator);

}  // namespace family_properties
