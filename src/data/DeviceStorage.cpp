#include "DeviceStorage.h"

#include "ArchiveReader.h"
#include "CompoundFileCheck.h"
#include "CryptStream.h"

CDeviceStorage::~CDeviceStorage() {
    Release();
    DeleteWorkingCopy();
}

vb::cipher::Key CDeviceStorage::DefinitionKey() {
    // Built at run time rather than kept as one block of bytes in the image.
    const char parts[][5] = {"Vb7q", "Dk2#", "Lm9x", "Rf4!"};
    vb::cipher::Key key{};
    for (size_t i = 0; i < key.size(); ++i) key[i] = static_cast<BYTE>(parts[i / 4][i % 4]);
    return key;
}

void CDeviceStorage::Release() noexcept {
    enumerator_.Reset();
    root_.Reset();
}

void CDeviceStorage::DeleteWorkingCopy() noexcept {
    if (workingCopy_.empty()) return;
    ::DeleteFileW(workingCopy_.c_str());
    workingCopy_.clear();
}

int CDeviceStorage::Open(const std::wstring& path, BOOL readOnly) {
    path_ = path;
    readOnly_ = readOnly;
    if (path.empty()) return kNotFound;
    Release();
    // A re-open must not leave the previous working copy behind in the temporary folder.
    DeleteWorkingCopy();
    if (IsBrokenCompoundFile(path)) return kCannotOpen;
    if (readOnly) {
        HRESULT hr = ::StgOpenStorage(path.c_str(), nullptr, STGM_TRANSACTED | STGM_SHARE_DENY_WRITE | STGM_READ,
                                      nullptr, 0, root_.Put());
        if (FAILED(hr)) return kCannotOpen;
    } else {
        int result = OpenWritable();
        if (result != kOk) return result;
    }
    return ReadIndex();
}

int CDeviceStorage::OpenWritable() {
    vb::ComPtr<IStorage> opened;
    int result = kOk;
    bool created = false;
    HRESULT hr = ::StgOpenStorage(path_.c_str(), nullptr, STGM_TRANSACTED | STGM_SHARE_DENY_NONE | STGM_READWRITE,
                                  nullptr, 0, opened.Put());
    if (hr == STG_E_FILEALREADYEXISTS) {
        result = kCannotOpen;
    } else if (hr == STG_E_FILENOTFOUND) {
        hr = ::StgCreateDocfile(path_.c_str(), STGM_CREATE | STGM_SHARE_EXCLUSIVE | STGM_READWRITE, 0, opened.Put());
        result = FAILED(hr) ? kCannotCreate : kOk;
        created = SUCCEEDED(hr);
    } else if (FAILED(hr)) {
        result = kNotFound;
    }
    if (!opened) return result;

    wchar_t folder[MAX_PATH];
    wchar_t name[MAX_PATH];
    DWORD length = ::GetTempPathW(MAX_PATH, folder);
    if (length == 0 || length >= MAX_PATH || !::GetTempFileNameW(folder, L"Dev", 0, name)) return kCannotCreate;
    workingCopy_ = name;
    hr = ::StgCreateDocfile(name, STGM_CREATE | STGM_SHARE_EXCLUSIVE | STGM_READWRITE, 0, root_.Put());
    if (FAILED(hr)) {
        DeleteWorkingCopy();
        return kCannotCreate;
    }
    opened->CopyTo(0, nullptr, nullptr, root_.Get());
    // Nothing is ever changed in an existing file, and committing it anyway makes the storage
    // rewrite it on some systems: only a file created just now is committed.
    if (created) opened->Commit(STGC_ONLYIFCURRENT);
    return result;
}

std::wstring CDeviceStorage::GetFirstElement() {
    if (!enumerator_) return {};
    enumerator_->Reset();
    return GetNextElement();
}

std::wstring CDeviceStorage::GetNextElement() {
    if (!enumerator_) return {};
    STATSTG stat{};
    ULONG fetched = 0;
    if (enumerator_->Next(1, &stat, &fetched) != S_OK || fetched != 1) return {};
    std::wstring name = stat.pwcsName ? stat.pwcsName : L"";
    ::CoTaskMemFree(stat.pwcsName);
    return name;
}

int CDeviceStorage::ReadIndex() {
    models_.Clear();
    families_.Clear();
    lists_.Clear();
    enumerator_.Reset();
    if (!root_ || FAILED(root_->EnumElements(0, nullptr, 0, enumerator_.Put()))) return kOk;
    for (std::wstring name = GetFirstElement(); !name.empty(); name = GetNextElement()) {
        std::wstring_view prefix = std::wstring_view(name).substr(0, 2);
        Group* group = prefix == L"M~" ? &models_ : prefix == L"F~" ? &families_ : prefix == L"L~" ? &lists_ : nullptr;
        if (group) group->elements.emplace(name, std::wstring());
    }
    enumerator_.Reset();
    return kOk;
}

int CDeviceStorage::ReadObject(const std::wstring& element) {
    if (!root_) return kNotFound;
    if (element.empty()) return kCannotOpenStream;
    // The working copy may be committed; the file opened read-only never is.
    if (!readOnly_) root_->Commit(STGC_DEFAULT);
    CCryptStream stream;
    stream.SetKey(DefinitionKey());
    // Reading needs no write access, and asking for none keeps a read-only file openable.
    if (FAILED(stream.OpenStream(root_.Get(), element, STGM_READ | STGM_SHARE_EXCLUSIVE))) return kCannotOpenStream;
    if (stream.GetLength() == 0) return kNotFound;
    stream.Decrypt();
    auto strings = CArchiveReader::ReadStringLists(stream.ReadToEnd());
    strings_.clear();
    if (!strings) return kDamagedObject;
    strings_ = std::move(*strings);
    return kOk;
}

int CDeviceStorage::GetModelStrings(const std::wstring& name, std::vector<std::wstring>* out) {
    return FindObject(models_, name, out);
}

int CDeviceStorage::GetFamilyStrings(const std::wstring& name, std::vector<std::wstring>* out) {
    return FindObject(families_, name, out);
}

int CDeviceStorage::FindObject(Group& group, const std::wstring& name, std::vector<std::wstring>* out) {
    if (!out) return kNotFound;
    std::wstring element;
    auto cached = group.objects.find(name);
    if (cached != group.objects.end()) {
        element = cached->second;
    } else {
        // Objects are named lazily: only those passed over before the match are read.
        for (auto& [candidate, objectName] : group.elements) {
            if (objectName.empty() && !group.unnamed.count(candidate)) {
                if (ReadObject(candidate) == kOk && !strings_.empty() && !strings_[0].empty()) {
                    objectName = strings_[0];
                    group.objects.emplace(objectName, candidate);
                } else {
                    group.unnamed.insert(candidate);
                }
            }
            if (!objectName.empty() && objectName == name) {
                element = candidate;
                break;
            }
        }
    }
    if (element.empty()) return kNotFound;
    int result = ReadObject(element);
    if (result == kOk) *out = strings_;
    return result;
}
