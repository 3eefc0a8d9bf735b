#pragma once
#include <string>

// Driver families differ in where their devmode keeps some settings. A family is recognised by
// the driver library's file name only.
enum class DriverFamily { Other = 0, Fam01, Fam02, Fam03, Fam04, Fam05, Fam06, Fam07, Fam08,
                          Fam09, Fam10, Fam11, Fam12, Fam13, Fam14, Fam15, Fam16 };

DriverFamily FamilyOf(const std::wstring& shortName);
