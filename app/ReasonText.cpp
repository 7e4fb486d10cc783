// No language is asked of FormatMessageW: it then looks for the thread's and the user's
// language first, so a Chinese Windows answers in Chinese and any other in its own.
#include "app/ReasonText.h"

#include <windows.h>

#include "platform/PlatformServices.h"
#include "platform/win32/UniqueHandle.h"

namespace fenrallo {

Text reasonText(std::uint32_t reason)
{
    // clang-format off
    switch (reason) {
    case kReasonMovedOntoItself: return L"目标位置就是它现在的位置";
    case kReasonFolderToOtherVolume: return L"文件夹不能移动到另一个驱动器";
    case kReasonNotTheFileMoved: return L"新位置上已是另一个文件，未移回";
    default: break;
    }
    // clang-format on
    wchar_t* message = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, reason, 0, reinterpret_cast<wchar_t*>(&message), 0, nullptr);
    const win32::UniqueHandle<HLOCAL, LocalFree> owned(message);
    Text text(message != nullptr ? message : L"", length);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) {
        text.pop_back();
    }
    if (text.empty()) {
        // Its number in decimal, without std::to_wstring, which would bring in swprintf. The
        // system has words for 0, so the number is never 0.
        text = L"错误代码 ";
        const std::size_t digits = text.size();
        for (std::uint32_t rest = reason; rest != 0; rest /= 10) {
            text.insert(digits, 1, static_cast<wchar_t>(L'0' + rest % 10));
        }
    }
    return text;
}

}  // namespace fenrallo
