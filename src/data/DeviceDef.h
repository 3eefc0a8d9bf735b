#pragma once
#include <string>
#include <utility>
#include <vector>

// One printer model as the device definition file describes it, with every listing of it merged
// in: how often families list it and under which names each family does.
class CDeviceDef {
public:
    // Family name -> "<family name>: <listing name>, <listing name>...", in order of arrival.
    using Properties = std::vector<std::pair<std::wstring, std::wstring>>;

    void MakeUpper();
    // The record's key among all models, "<family key>-><model name>". Upper-cases the record
    // first, so the record and its key always agree.
    std::wstring ToString();
    // Records that family `key` lists the model as `value`. Ignored when either is empty.
    void AddProperty(const std::wstring& key, const std::wstring& value);
    // The model's catalogue, one line per family in code-unit order, already quoted for SQL.
    std::wstring GetPropertiesText() const;
    const Properties& GetProperties() const noexcept { return properties_; }

    std::wstring modelName;
    std::wstring familyKey;
    unsigned long refCount = 0;

private:
    Properties properties_;
};
