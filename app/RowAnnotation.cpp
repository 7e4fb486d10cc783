// One server answers for every row of the list (ANNO_CONTAINER): a text set per row would stay
// with the row's number while a drop inserts entries above it or a removal shifts them up.
#include "app/RowAnnotation.h"

#include <utility>

#include "app/Ole32.h"
#include "app/ReasonText.h"
#include "platform/win32/DllHardening.h"
#include "platform/win32/Win32Widgets.h"

namespace fenrallo {

RowAnnotation::~RowAnnotation()
{
    detach();
}

void RowAnnotation::heard(HWND list, UINT message, LPARAM lParam)
{
    if (message == WM_GETOBJECT && static_cast<LONG>(lParam) == OBJID_CLIENT && !tried_) {
        attach(list);
    } else if (message == WM_DESTROY) {
        detach();
    }
}

std::optional<Text> RowAnnotation::description(HWND list, DWORD child)
{
    const auto count = static_cast<DWORD>(win32::Win32ListBox(list).count());
    if (child == CHILDID_SELF || child > count) {
        return std::nullopt;
    }
    const EntryMark mark = win32::markOf(SendMessageW(list, LB_GETITEMDATA, child - 1, 0));
    switch (mark.state) {
        case EntryMark::State::Moved:
            return mark.reason == 0 ? Text(L"已移动") : L"已移动，" + reasonText(mark.reason);
        case EntryMark::State::Stayed:
            return reasonText(mark.reason);
        case EntryMark::State::Untried:
            break;
    }
    return std::nullopt;
}

void RowAnnotation::attach(HWND list)
{
    tried_ = true;
    using Start = HRESULT(WINAPI*)(void*, DWORD);
    using Create = HRESULT(WINAPI*)(REFCLSID, IUnknown*, DWORD, REFIID, void**);
    const auto start = ole32Function<Start>("CoInitializeEx");
    const auto create = ole32Function<Create>("CoCreateInstance");
    if (start == nullptr || create == nullptr ||
        FAILED(start(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {
        return;
    }
    comStarted_ = true;
    void* created = nullptr;
    if (FAILED(create(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                      &created))) {
        return;
    }
    services_ = static_cast<IAccPropServices*>(created);
    const MSAAPROPID property = PROPID_ACC_DESCRIPTION;
    if (FAILED(services_->SetHwndPropServer(list, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                            &property, 1, this, ANNO_CONTAINER))) {
        services_->Release();
        services_ = nullptr;
        return;
    }
    list_ = list;
}

void RowAnnotation::detach()
{
    if (services_ != nullptr) {
        const MSAAPROPID property = PROPID_ACC_DESCRIPTION;
        services_->ClearHwndProps(list_, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, &property,
                                  1);
        services_->Release();
        services_ = nullptr;
    }
    if (std::exchange(comStarted_, false)) {
        if (const auto stop = ole32Function<void(WINAPI*)()>("CoUninitialize")) {
            stop();
        }
    }
}

HRESULT RowAnnotation::QueryInterface(REFIID id, void** object)
{
    if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IAccPropServer)) {
        *object = static_cast<IAccPropServer*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT RowAnnotation::GetPropValue(const BYTE* identity, DWORD identityLength, MSAAPROPID property,
                                    VARIANT* value, BOOL* hasProperty)
{
    *hasProperty = FALSE;
    value->vt = VT_EMPTY;
    HWND list = nullptr;
    DWORD object = 0;
    DWORD child = 0;
    using Allocate = BSTR(WINAPI*)(const OLECHAR*);
    static const auto allocate =
        win32::procedure<Allocate>(win32::loadSystemLibrary(L"oleaut32.dll"), "SysAllocString");
    if (services_ == nullptr || allocate == nullptr ||
        !IsEqualGUID(property, PROPID_ACC_DESCRIPTION) ||
        FAILED(services_->DecomposeHwndIdentityString(identity, identityLength, &list, &object,
                                                      &child))) {
        return S_OK;
    }
    if (const std::optional<Text> text = description(list, child)) {
        value->bstrVal = allocate(text->c_str());
        value->vt = value->bstrVal != nullptr ? VT_BSTR : VT_EMPTY;
        *hasProperty = value->bstrVal != nullptr ? TRUE : FALSE;
    }
    return S_OK;
}

}  // namespace fenrallo
