#pragma once
#include <windows.h>
#include <objidl.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "BlockCipher.h"
#include "ComPtr.h"

// The device definition file: a compound file whose root holds enciphered object streams.
// Elements named "M~..." are models, "F~..." families, "L~..." lists; an object is found by the
// name it carries as its first string. Reading never changes the file: read-only mode works in
// a transaction that is never committed, writable mode on a temporary copy.
class CDeviceStorage {
public:
    static constexpr int kOk = 0;
    static constexpr int kNotFound = 1;        // empty path, no file open, empty stream, no such object
    static constexpr int kCannotOpenStream = 20;
    static constexpr int kDamagedObject = 21;  // the count or the strings of the first list are damaged
    static constexpr int kCannotCreate = 30;
    static constexpr int kCannotOpen = 31;

    CDeviceStorage() = default;
    ~CDeviceStorage();
    CDeviceStorage(const CDeviceStorage&) = delete;
    CDeviceStorage& operator=(const CDeviceStorage&) = delete;

    int Open(const std::wstring& path, BOOL readOnly);
    // Releases the enumerator and the root storage, so the file can be moved.
    void Release() noexcept;

    int ReadIndex();
    std::wstring GetFirstElement();
    std::wstring GetNextElement();

    // Deciphers an object stream and reads its strings into Strings().
    int ReadObject(const std::wstring& element);
    int GetModelStrings(const std::wstring& name, std::vector<std::wstring>* out);
    int GetFamilyStrings(const std::wstring& name, std::vector<std::wstring>* out);

    const std::vector<std::wstring>& Strings() const noexcept { return strings_; }
    // Element names of each group, with the object name once it has been read.
    const std::map<std::wstring, std::wstring>& ModelElements() const noexcept { return models_.elements; }
    const std::map<std::wstring, std::wstring>& FamilyElements() const noexcept { return families_.elements; }
    const std::map<std::wstring, std::wstring>& ListElements() const noexcept { return lists_.elements; }
    const std::wstring& WorkingCopy() const noexcept { return workingCopy_; }

    // The key of the definition files' cipher.
    static vb::cipher::Key DefinitionKey();

private:
    struct Group {
        std::map<std::wstring, std::wstring> elements;  // element name -> object name
        std::map<std::wstring, std::wstring> objects;   // object name -> element name
        std::set<std::wstring> unnamed;                 // read once and found without a name
        void Clear() {
            elements.clear();
            objects.clear();
            unnamed.clear();
        }
    };

    int OpenWritable();
    int FindObject(Group& group, const std::wstring& name, std::vector<std::wstring>* out);
    void DeleteWorkingCopy() noexcept;

    BOOL readOnly_ = TRUE;
    vb::ComPtr<IStorage> root_;
    vb::ComPtr<IEnumSTATSTG> enumerator_;
    std::wstring path_;
    std::wstring workingCopy_;
    std::vector<std::wstring> strings_;
    Group models_;
    Group families_;
    Group lists_;
};
