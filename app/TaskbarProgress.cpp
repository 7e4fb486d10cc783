// COM is started on the user-interface thread the first time a batch runs, and only there.
#include "app/TaskbarProgress.h"

#include "app/Ole32.h"

namespace fenrallo {

TaskbarProgress::~TaskbarProgress()
{
    list_.reset();
    if (comStarted_) {
        if (const auto stop = ole32Function<void(WINAPI*)()>("CoUninitialize")) {
            stop();
        }
    }
}

ITaskbarList3* TaskbarProgress::list()
{
    if (tried_) {
        return list_.get();
    }
    tried_ = true;
    using Start = HRESULT(WINAPI*)(void*, DWORD);
    using Create = HRESULT(WINAPI*)(REFCLSID, IUnknown*, DWORD, REFIID, void**);
    const auto start = ole32Function<Start>("CoInitializeEx");
    const auto create = ole32Function<Create>("CoCreateInstance");
    if (!comStarted_) {
        if (start == nullptr || create == nullptr ||
            FAILED(start(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {
            return nullptr;
        }
        comStarted_ = true;
    }
    void* created = nullptr;
    if (SUCCEEDED(create(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskbarList3,
                         &created))) {
        list_.reset(static_cast<ITaskbarList3*>(created));
        if (FAILED(list_.get()->HrInit())) {
            list_.reset();
        }
    }
    return list_.get();
}

UINT TaskbarProgress::buttonCreatedMessage()
{
    static const UINT message = RegisterWindowMessageW(L"TaskbarButtonCreated");
    return message;
}

void TaskbarProgress::buttonCreated()
{
    // The next progress makes a new one.
    list_.reset();
    tried_ = false;
}

void TaskbarProgress::show(int done, int total)
{
    shown_ = {done, total};
    if (ITaskbarList3* const taskbar = list()) {
        taskbar->SetProgressState(window_, TBPF_NORMAL);
        taskbar->SetProgressValue(window_, static_cast<ULONGLONG>(done),
                                  static_cast<ULONGLONG>(total));
    }
}

void TaskbarProgress::clear()
{
    shown_ = {0, 0};
    if (list_) {
        list_.get()->SetProgressState(window_, TBPF_NOPROGRESS);
    }
}

}  // namespace fenrallo
