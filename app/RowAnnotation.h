// List1's rows told to screen readers: each row keeps its text as its name, and the state its
// colour shows becomes its description, "已移动" for a moved entry and the reason for one that
// stayed, through Active Accessibility's annotation of the list box's own accessible object.
// Nothing is loaded until a screen reader first asks List1 for that object: then COM and the
// annotation service (oleacc, from the system directory as COM registers it). Wine 8 makes the
// service but refuses every annotation (E_NOTIMPL), so there only description() can be tried.
#pragma once

#include <windows.h>

#include <oleacc.h>

#include <optional>

#include "platform/Text.h"

namespace fenrallo {

class RowAnnotation final : private IAccPropServer {
public:
    RowAnnotation() = default;
    ~RowAnnotation();
    RowAnnotation(const RowAnnotation&) = delete;
    RowAnnotation& operator=(const RowAnnotation&) = delete;

    // Each message of `list`, before the list's own procedure: the first WM_GETOBJECT starts the
    // annotation, WM_DESTROY ends it, as the service asks.
    void heard(HWND list, UINT message, LPARAM lParam);

    // The description of row `child` of `list` (1 for the first entry), none for the list itself
    // and for an entry no batch has tried. Asked afresh each time, so it follows the entries when
    // others come or go above them.
    static std::optional<Text> description(HWND list, DWORD child);

private:
    void attach(HWND list);
    void detach();

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override;
    // The object lives as long as the window's components and is unregistered before it goes.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetPropValue(const BYTE* identity, DWORD identityLength,
                                           MSAAPROPID property, VARIANT* value,
                                           BOOL* hasProperty) override;

    HWND list_ = nullptr;
    IAccPropServices* services_ = nullptr;
    bool tried_ = false;
    bool comStarted_ = false;
};

}  // namespace fenrallo
