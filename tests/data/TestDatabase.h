#pragma once
#include <string>

#include "DbConnection.h"
#include "TestFiles.h"

namespace vb::test {

// An empty database file in a temporary folder (an empty file is an empty SQLite database).
class TestDatabase {
public:
    explicit TestDatabase(const std::wstring& name = L"Data.mdb");

    const std::wstring& Path() const noexcept { return path_; }
    // The connection string the program builds for a database file.
    std::wstring ConnectionString() const;
    const TempFolder& Folder() const noexcept { return folder_; }

private:
    TempFolder folder_;
    std::wstring path_;
};

// The tables the program creates, exactly as it creates them.
extern const wchar_t* const kCreateDriverFamilies;
extern const wchar_t* const kCreateDriverModels;
extern const wchar_t* const kCreateScripts;
extern const wchar_t* const kCreateOutput;

// Opens the database and creates the four tables; false when anything fails.
bool CreateProgramTables(CDbConnection& connection, const TestDatabase& database);

}  // namespace vb::test
