// The buttons show glyphs ("<<", "X"), which Windows' own object for a
// button reads as their names. Each answers WM_GETOBJECT itself with that
// object wrapped, its name what the button does: a reader asks the window
// that has the keyboard.
#include "access.h"

#include <new>

#include "acclib.h"
#include "resource.h"
#include "tooltips.h"

static const int kNamedButtons[] = {IDC_PREVYEAR, IDC_PREVMONTH, IDC_NEXTMONTH,
                                    IDC_NEXTYEAR, IDC_CLOSE,     IDC_ABOUT};

// The buttons' own procedure, the same for all six.
static WNDPROC buttonProcedure;

// Windows' object for the button, all but its name passed through.
struct NamedButton : IAccessible {
    LONG references;
    IAccessible *inner;
    const wchar_t *name;

    STDMETHODIMP QueryInterface(REFIID id, void **out) override {
        return QueryAccessible(this, id, out);
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++references; }
    STDMETHODIMP_(ULONG) Release() override {
        ULONG left = --references;
        if (left == 0) {
            inner->Release();
            HeapFree(GetProcessHeap(), 0, this);
        }
        return left;
    }
    STDMETHODIMP GetTypeInfoCount(UINT *count) override { return inner->GetTypeInfoCount(count); }
    STDMETHODIMP GetTypeInfo(UINT index, LCID locale, ITypeInfo **info) override {
        return inner->GetTypeInfo(index, locale, info);
    }
    STDMETHODIMP GetIDsOfNames(REFIID id, LPOLESTR *names, UINT count, LCID locale,
                               DISPID *ids) override {
        return inner->GetIDsOfNames(id, names, count, locale, ids);
    }
    STDMETHODIMP Invoke(DISPID member, REFIID id, LCID locale, WORD flags, DISPPARAMS *parameters,
                        VARIANT *result, EXCEPINFO *exception, UINT *wrong) override {
        return inner->Invoke(member, id, locale, flags, parameters, result, exception, wrong);
    }
    STDMETHODIMP get_accParent(IDispatch **parent) override { return inner->get_accParent(parent); }
    STDMETHODIMP get_accChildCount(LONG *count) override { return inner->get_accChildCount(count); }
    STDMETHODIMP get_accChild(VARIANT child, IDispatch **out) override {
        return inner->get_accChild(child, out);
    }
    STDMETHODIMP get_accName(VARIANT child, BSTR *out) override {
        if (child.vt == VT_I4 && child.lVal == CHILDID_SELF)
            return GiveString(name, out);
        return inner->get_accName(child, out);
    }
    STDMETHODIMP get_accValue(VARIANT child, BSTR *out) override {
        return inner->get_accValue(child, out);
    }
    STDMETHODIMP get_accDescription(VARIANT child, BSTR *out) override {
        return inner->get_accDescription(child, out);
    }
    STDMETHODIMP get_accRole(VARIANT child, VARIANT *out) override {
        return inner->get_accRole(child, out);
    }
    STDMETHODIMP get_accState(VARIANT child, VARIANT *out) override {
        return inner->get_accState(child, out);
    }
    STDMETHODIMP get_accHelp(VARIANT child, BSTR *out) override {
        return inner->get_accHelp(child, out);
    }
    STDMETHODIMP get_accHelpTopic(BSTR *file, VARIANT child, LONG *topic) override {
        return inner->get_accHelpTopic(file, child, topic);
    }
    STDMETHODIMP get_accKeyboardShortcut(VARIANT child, BSTR *out) override {
        return inner->get_accKeyboardShortcut(child, out);
    }
    STDMETHODIMP get_accFocus(VARIANT *out) override { return inner->get_accFocus(out); }
    STDMETHODIMP get_accSelection(VARIANT *out) override { return inner->get_accSelection(out); }
    STDMETHODIMP get_accDefaultAction(VARIANT child, BSTR *out) override {
        return inner->get_accDefaultAction(child, out);
    }
    STDMETHODIMP accSelect(LONG flags, VARIANT child) override {
        return inner->accSelect(flags, child);
    }
    STDMETHODIMP accLocation(LONG *left, LONG *top, LONG *width, LONG *height,
                             VARIANT child) override {
        return inner->accLocation(left, top, width, height, child);
    }
    STDMETHODIMP accNavigate(LONG direction, VARIANT start, VARIANT *end) override {
        return inner->accNavigate(direction, start, end);
    }
    STDMETHODIMP accHitTest(LONG x, LONG y, VARIANT *out) override {
        return inner->accHitTest(x, y, out);
    }
    STDMETHODIMP accDoDefaultAction(VARIANT child) override {
        return inner->accDoDefaultAction(child);
    }
    STDMETHODIMP put_accName(VARIANT child, BSTR text) override {
        return inner->put_accName(child, text);
    }
    STDMETHODIMP put_accValue(VARIANT child, BSTR text) override {
        return inner->put_accValue(child, text);
    }
};

static LRESULT AnswerForButton(HWND button, WPARAM flags) {
    const AccessLibrary *library = LoadAccessLibrary();
    IAccessible *inner = nullptr;
    if (library == nullptr ||
        FAILED(library->createStdObject(button, OBJID_CLIENT, __uuidof(IAccessible),
                                        reinterpret_cast<void **>(&inner))))
        return 0;
    void *memory = HeapAlloc(GetProcessHeap(), 0, sizeof(NamedButton));
    if (memory == nullptr) {
        inner->Release();
        return 0;
    }
    auto *named = new (memory) NamedButton;
    named->references = 1;
    named->inner = inner;
    named->name = ButtonTipText(GetDlgCtrlID(button));
    LRESULT answer = library->resultFromObject(__uuidof(IAccessible), flags, named);
    named->Release();
    return answer;
}

static LRESULT CALLBACK ButtonProcedure(HWND button, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_GETOBJECT && static_cast<LONG>(lParam) == OBJID_CLIENT) {
        LRESULT answer = AnswerForButton(button, wParam);
        if (answer != 0)
            return answer;
    }
    return CallWindowProcW(buttonProcedure, button, message, wParam, lParam);
}

void NameButtons(HWND dialog) {
    for (int id : kNamedButtons) {
        HWND button = GetDlgItem(dialog, id);
        auto previous = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ButtonProcedure)));
        if (previous != ButtonProcedure && previous != nullptr)
            buttonProcedure = previous;
    }
}
