// The DLL's entry points: class objects for the two creatable classes, and the registration of
// the classes (ThreadingModel "Both") and of the type libraries carried in the resources.
#include <windows.h>
#include <ole2.h>
#include <olectl.h>

#include <string>

#include "sim/playserver/Objects.h"

namespace {

HINSTANCE g_module = nullptr;
LONG g_locks = 0;

std::wstring ModulePath()
{
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(g_module, path, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::wstring(path, n) : std::wstring();
}

class Factory : public IClassFactory {
public:
    explicit Factory(HRESULT (*create)(REFIID, void**)) : create_(create) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        if (iid != IID_IUnknown && iid != IID_IClassFactory)
            return E_NOINTERFACE;
        *out = static_cast<IClassFactory*>(this);
        return S_OK;
    }
    // Static objects: no count of their own, LockServer keeps the DLL.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        return create_(iid, out);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override
    {
        if (lock)
            InterlockedIncrement(&g_locks);
        else
            InterlockedDecrement(&g_locks);
        return S_OK;
    }

private:
    HRESULT (*create_)(REFIID, void**);
};

Factory g_serverFactory(mrvsim::CreateServer);
Factory g_movieFactory(mrvsim::CreateMovie);

struct ClassEntry {
    const CLSID* clsid;
    const wchar_t* name;
    const wchar_t* progId;
};

const ClassEntry kClasses[] = {
    {&CLSID_MrvPlayServer, L"MrvPlayServer Class", L"Mrvplayserverlib.MrvPlayServer"},
    {&CLSID_MrvPlayMovie, L"MrvPlayMovie Class", L"Mrvplayserverlib.MrvPlayMovie"},
};

std::wstring GuidText(REFGUID guid)
{
    wchar_t text[40];
    StringFromGUID2(guid, text, 40);
    return text;
}

bool SetValue(const std::wstring& key, const wchar_t* name, const std::wstring& value)
{
    HKEY h;
    if (RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &h, nullptr) !=
        ERROR_SUCCESS)
        return false;
    LONG r = RegSetValueExW(h, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                            static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(h);
    return r == ERROR_SUCCESS;
}

// The resource index selects the type library: 1 the Play Server's, 2 the play service's.
HRESULT RegisterLibrary(int index, bool add)
{
    std::wstring path = ModulePath();
    if (index != 1)
        path += L"\\" + std::to_wstring(index);
    ITypeLib* lib = nullptr;
    HRESULT hr = LoadTypeLibEx(path.c_str(), add ? REGKIND_REGISTER : REGKIND_NONE, &lib);
    if (FAILED(hr))
        return hr;
    if (!add) {
        TLIBATTR* attr = nullptr;
        hr = lib->GetLibAttr(&attr);
        if (SUCCEEDED(hr)) {
            UnRegisterTypeLib(attr->guid, attr->wMajorVerNum, attr->wMinorVerNum, attr->lcid, attr->syskind);
            lib->ReleaseTLibAttr(attr);
        }
    }
    lib->Release();
    return hr;
}

}  // namespace

namespace mrvsim {

HRESULT LibraryTypeInfo(REFIID iid, ITypeInfo** info)
{
    static ITypeLib* lib = nullptr;
    std::lock_guard<std::recursive_mutex> guard(ServerLock());
    if (!lib) {
        HRESULT hr = LoadTypeLibEx(ModulePath().c_str(), REGKIND_NONE, &lib);
        if (FAILED(hr)) {
            lib = nullptr;
            return hr;
        }
    }
    return lib->GetTypeInfoOfGuid(iid, info);
}

}  // namespace mrvsim

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (clsid == CLSID_MrvPlayServer)
        return g_serverFactory.QueryInterface(iid, out);
    if (clsid == CLSID_MrvPlayMovie)
        return g_movieFactory.QueryInterface(iid, out);
    return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT STDAPICALLTYPE DllCanUnloadNow()
{
    return mrvsim::LiveObjects() == 0 && InterlockedCompareExchange(&g_locks, 0, 0) == 0 ? S_OK : S_FALSE;
}

HRESULT STDAPICALLTYPE DllRegisterServer()
{
    std::wstring path = ModulePath();
    std::wstring lib = GuidText(LIBID_Mrvplayserverlib);
    for (const ClassEntry& c : kClasses) {
        std::wstring key = L"CLSID\\" + GuidText(*c.clsid);
        bool ok = SetValue(key, nullptr, c.name) && SetValue(key + L"\\InprocServer32", nullptr, path) &&
                  SetValue(key + L"\\InprocServer32", L"ThreadingModel", L"Both") &&
                  SetValue(key + L"\\ProgID", nullptr, c.progId) && SetValue(key + L"\\TypeLib", nullptr, lib) &&
                  SetValue(key + L"\\Version", nullptr, L"1.0") && SetValue(c.progId, nullptr, c.name) &&
                  SetValue(std::wstring(c.progId) + L"\\CLSID", nullptr, GuidText(*c.clsid));
        if (!ok)
            return SELFREG_E_CLASS;
    }
    HRESULT hr = RegisterLibrary(1, true);
    if (SUCCEEDED(hr))
        hr = RegisterLibrary(2, true);
    return FAILED(hr) ? SELFREG_E_TYPELIB : S_OK;
}

HRESULT STDAPICALLTYPE DllUnregisterServer()
{
    for (const ClassEntry& c : kClasses) {
        RegDeleteTreeW(HKEY_CLASSES_ROOT, (L"CLSID\\" + GuidText(*c.clsid)).c_str());
        RegDeleteTreeW(HKEY_CLASSES_ROOT, c.progId);
    }
    RegisterLibrary(1, false);
    RegisterLibrary(2, false);
    return S_OK;
}

}  // extern "C"
