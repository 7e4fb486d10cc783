// A shortcut counts as this exe's when its target opens as the same file: a shortcut made by hand
// with another spelling of the path counts, and nothing else is ever deleted.
#include "app/SendTo.h"

#include <shlobj.h>

#include "app/Ole32.h"
#include "app/SingleWindow.h"
#include "platform/win32/FileHandles.h"
#include "platform/win32/Win32PlatformServices.h"

namespace fenrallo {

namespace {

template <typename Interface>
void release(Interface* object)
{
    object->Release();
}
template <typename Interface>
using Com = win32::UniqueHandle<Interface*, release<Interface>>;
using Search = win32::UniqueHandle<HANDLE, FindClose>;

// The longest path a shortcut's target can be.
constexpr int kLongestTarget = 32768;

Text sendToFolder(DWORD flags)
{
    PWSTR path = nullptr;
    const HRESULT found = SHGetKnownFolderPath(FOLDERID_SendTo, flags, nullptr, &path);
    Text folder = SUCCEEDED(found) && path != nullptr ? Text(path) : Text();
    if (const auto free = ole32Function<void(WINAPI*)(void*)>("CoTaskMemFree")) {
        free(path);
    }
    return folder;
}

// A shell link object and its file interface; both null where COM cannot make one.
struct Shortcut {
    Com<IShellLinkW> link;
    Com<IPersistFile> file;
};

Shortcut newShortcut()
{
    using Create = HRESULT(WINAPI*)(REFCLSID, IUnknown*, DWORD, REFIID, void**);
    void* link = nullptr;
    void* file = nullptr;
    Shortcut made;
    const auto create = ole32Function<Create>("CoCreateInstance");
    if (create != nullptr &&
        SUCCEEDED(create(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, &link))) {
        made.link.reset(static_cast<IShellLinkW*>(link));
        if (SUCCEEDED(made.link.get()->QueryInterface(IID_IPersistFile, &file))) {
            made.file.reset(static_cast<IPersistFile*>(file));
        }
    }
    return made;
}

// The shortcuts in `folder` whose target is the file `exe`.
TextList shortcutsTo(const FileIdentity& exe, const Text& folder)
{
    TextList found;
    WIN32_FIND_DATAW entry{};
    const Search search(win32::opened(FindFirstFileW((folder + L"\\*.lnk").c_str(), &entry)));
    for (bool more = static_cast<bool>(search); more;
         more = FindNextFileW(search.get(), &entry) != FALSE) {
        const Text path = folder + L'\\' + entry.cFileName;
        const Shortcut shortcut = newShortcut();
        Text target(kLongestTarget, L'\0');
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && shortcut.file &&
            SUCCEEDED(shortcut.file.get()->Load(path.c_str(), STGM_READ)) &&
            shortcut.link.get()->GetPath(target.data(), kLongestTarget, nullptr, 0) == S_OK &&
            identityOfFile(target.c_str()) == exe) {
            found.push_back(path);
        }
    }
    return found;
}

bool add(const Text& exe, const Text& folder)
{
    const Text path = folder + L'\\' + sendToShortcutName(exe);
    // Claimed empty first: the shortcut never replaces a file already under its name.
    win32::File claimed(win32::opened(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr,
                                                  CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr)));
    if (!claimed) {
        return false;
    }
    claimed.reset();
    const Shortcut made = newShortcut();
    if (made.file && SUCCEEDED(made.link.get()->SetPath(exe.c_str())) &&
        SUCCEEDED(
            made.link.get()->SetWorkingDirectory(win32::directoryOfModulePath(exe).c_str())) &&
        SUCCEEDED(made.file.get()->Save(path.c_str(), TRUE))) {
        return true;
    }
    DeleteFileW(path.c_str());
    return false;
}

}  // namespace

Text sendToShortcutName(const Text& exePath)
{
    Text folder = win32::directoryOfModulePath(exePath);
    if (folder.size() == 3 && folder[1] == L':') {
        folder.resize(1);
    }
    return L"Fenrallo - " + folder.substr(folder.rfind(L'\\') + 1) + L".lnk";
}

SendToItem::~SendToItem()
{
    if (comStarted_) {
        if (const auto stop = ole32Function<void(WINAPI*)()>("CoUninitialize")) {
            stop();
        }
    }
}

bool SendToItem::startCom()
{
    if (!comTried_) {
        comTried_ = true;
        const auto start = ole32Function<HRESULT(WINAPI*)(void*, DWORD)>("CoInitializeEx");
        comStarted_ = start != nullptr &&
                      SUCCEEDED(start(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
    }
    return comStarted_;
}

bool SendToItem::present()
{
    const auto exe = identityOfFile(win32::moduleFileName());
    const Text folder = sendToFolder(0);
    return exe && !folder.empty() && startCom() && !shortcutsTo(*exe, folder).empty();
}

void SendToItem::toggle()
{
    const Text exe = win32::moduleFileName();
    const auto identity = identityOfFile(exe);
    const Text folder = sendToFolder(KF_FLAG_CREATE);
    bool done = identity && !folder.empty() && startCom();
    if (done) {
        const TextList existing = shortcutsTo(*identity, folder);
        done = existing.empty() ? add(exe, folder) : true;
        for (const Text& shortcut : existing) {
            done = DeleteFileW(shortcut.c_str()) != FALSE && done;
        }
    }
    if (!done) {
        MessageBeep(MB_OK);
    }
}

}  // namespace fenrallo
