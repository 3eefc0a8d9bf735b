#pragma once
#include <windows.h>
#include <oaidl.h>

// What the script facade needs from the object that owns it: the program's own type library,
// which describes the host objects for the editor's member listings. Kept this narrow so the
// script host does not depend on its owner's class.
class ScriptHostOwner {
public:
    // One new reference on the library, or a failure when the owner has none.
    virtual HRESULT GetTypeLibrary(ITypeLib** library) = 0;

protected:
    ~ScriptHostOwner() = default;
};
