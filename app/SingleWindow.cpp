// The name only decides which start is first, even for two at the same instant; the window is
// then found among the top-level windows of the form's class by the identity of the exe its
// process runs. That works whatever the two processes' privileges: a start as administrator
// makes a name an unelevated start may not open, but sees that it exists.
#include "app/SingleWindow.h"

#include "app/MainWindow.h"
#include "platform/win32/FileHandles.h"
#include "platform/win32/HandOver.h"
#include "platform/win32/Win32PlatformServices.h"

namespace fenrallo {

namespace {

// How long a later start waits for the first start's window to be shown.
constexpr ULONGLONG kWaitForWindowMs = 3000;
// How long the window may take to list a block before the start lists it itself.
constexpr UINT kHandOverTimeoutMs = 10000;

Text hex(std::uint64_t value)
{
    Text text(16, L'0');
    for (std::size_t i = 16; i-- > 0; value >>= 4U) {
        text[i] = L"0123456789abcdef"[value & 0xFU];
    }
    return text;
}

Text imageOfProcess(DWORD process)
{
    const win32::File opened(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process));
    for (DWORD capacity = MAX_PATH; opened && capacity <= 32768; capacity *= 2) {
        Text image(capacity, L'\0');
        DWORD size = capacity;
        if (QueryFullProcessImageNameW(opened.get(), 0, image.data(), &size)) {
            image.resize(size);
            return image;
        }
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
            break;
        }
    }
    return {};
}

// The shown form of a process running the exe file `exe`; null while there is none.
HWND windowOf(const FileIdentity& exe)
{
    for (HWND form = nullptr;
         (form = FindWindowExW(nullptr, form, MainWindow::kClassName, nullptr)) != nullptr;) {
        DWORD process = 0;
        GetWindowThreadProcessId(form, &process);
        if (IsWindowVisible(form) && identityOfFile(imageOfProcess(process)) == exe) {
            return form;
        }
    }
    return nullptr;
}

bool sent(HWND window, const Text& block)
{
    COPYDATASTRUCT data{win32::kHandOverTag, static_cast<DWORD>(block.size() * sizeof(wchar_t)),
                        const_cast<wchar_t*>(block.data())};
    DWORD_PTR taken = FALSE;
    return SendMessageTimeoutW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                               SMTO_ABORTIFHUNG | SMTO_BLOCK, kHandOverTimeoutMs, &taken) != 0 &&
           taken != FALSE;
}

}  // namespace

std::optional<FileIdentity> identityOfFile(const Text& path)
{
    const win32::File file(
        win32::opened(CreateFileW(win32::extendedLengthPath(path).c_str(), FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr)));
    return file ? win32::fileIdentity(file.get()) : std::nullopt;
}

SingleWindow::SingleWindow() : exe_(identityOfFile(win32::moduleFileName()))
{
    if (!exe_) {
        return;
    }
    const Text name =
        L"Local\\Fenrallo-" + hex(exe_->volume) + L"-" + hex(exe_->high) + hex(exe_->low);
    name_.reset(CreateMutexW(nullptr, FALSE, name.c_str()));
    const DWORD error = GetLastError();
    first_ = error != ERROR_ALREADY_EXISTS && error != ERROR_ACCESS_DENIED;
}

std::optional<TextList> SingleWindow::handOver(const TextList& paths) const
{
    HWND window = nullptr;
    for (const ULONGLONG start = GetTickCount64(); !first_ &&
                                                   (window = windowOf(*exe_)) == nullptr &&
                                                   GetTickCount64() - start < kWaitForWindowMs;) {
        Sleep(10);
    }
    if (window == nullptr) {
        return paths;
    }
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    AllowSetForegroundWindow(process);
    // What a window refused, or never answered, this start lists itself.
    std::optional<TextList> left;
    for (const Text& block : win32::handOverBlocks(paths)) {
        if (!left && sent(window, block)) {
            continue;
        }
        const TextList refused = *win32::handedOverPaths(
            {win32::kHandOverTag, static_cast<DWORD>(block.size() * sizeof(wchar_t)),
             const_cast<wchar_t*>(block.data())});
        if (!left) {
            left.emplace();
        }
        left->insert(left->end(), refused.begin(), refused.end());
    }
    return left;
}

}  // namespace fenrallo
