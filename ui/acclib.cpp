#include "acclib.h"

#include "syslib.h"

static AccessLibrary library;
static bool tried;

const AccessLibrary *LoadAccessLibrary() {
    if (!tried) {
        tried = true;
        HMODULE oleacc = LoadSystemLibrary(L"oleacc.dll");
        HMODULE oleaut = LoadSystemLibrary(L"oleaut32.dll");
        library.resultFromObject =
            SystemFunction<decltype(library.resultFromObject)>(oleacc, "LresultFromObject");
        library.createStdObject =
            SystemFunction<decltype(library.createStdObject)>(oleacc, "CreateStdAccessibleObject");
        library.allocString =
            SystemFunction<decltype(library.allocString)>(oleaut, "SysAllocString");
    }
    bool whole = library.resultFromObject != nullptr && library.createStdObject != nullptr &&
                 library.allocString != nullptr;
    return whole ? &library : nullptr;
}

HRESULT GiveString(const wchar_t *text, BSTR *out) {
    *out = nullptr;
    if (text[0] == L'\0')
        return S_FALSE;
    *out = library.allocString(text);
    return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT QueryAccessible(IAccessible *object, REFIID id, void **out) {
    if (id == __uuidof(IUnknown) || id == __uuidof(IDispatch) || id == __uuidof(IAccessible)) {
        *out = object;
        object->AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}
