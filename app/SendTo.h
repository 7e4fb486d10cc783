// The system menu's item that puts this exe in Explorer's Send To menu, or takes it out: a
// shortcut in the user's SendTo folder. It is checked while that folder holds a shortcut to this
// exe, read anew each time the menu opens, since Explorer or another program may change the
// folder. COM, which reads and writes shortcuts, is started the first time the menu opens.
#pragma once

#include <windows.h>

#include "platform/Text.h"

namespace fenrallo {

class SendToItem {
public:
    // WM_SYSCOMMAND's id of the item, beside the undo's 0x0010.
    static constexpr UINT kCommand = 0x0020;

    SendToItem() = default;
    ~SendToItem();
    SendToItem(const SendToItem&) = delete;
    SendToItem& operator=(const SendToItem&) = delete;

    static constexpr const wchar_t* kText = L"添加到“发送到”菜单(&S)";

    // The SendTo folder holds a shortcut to this exe: the item is checked.
    bool present();
    // Adds the shortcut, or removes every shortcut there whose target is this exe. Beeps when it
    // cannot, and then writes nothing.
    void toggle();

private:
    bool startCom();

    bool comTried_ = false;
    bool comStarted_ = false;
};

// "Fenrallo - <name of the exe's folder>.lnk"; a drive root gives its letter alone, so copies in
// several folders each get a shortcut of their own.
Text sendToShortcutName(const Text& exePath);

}  // namespace fenrallo
