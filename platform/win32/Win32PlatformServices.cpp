// The platform services on Windows. Every path goes to the W functions as it is, so names
// outside the ANSI code page move like any other, and paths past MAX_PATH get the \\?\ form,
// which works without a long-path opt-in.
#include "platform/win32/Win32PlatformServices.h"

#include <cwctype>
#include <string_view>

#include "platform/win32/FileMove.h"
#include "platform/win32/UniqueHandle.h"

namespace fenrallo::win32 {

namespace {

using OwnedHandle = UniqueHandle<HANDLE, CloseHandle>;

// The W functions take no path longer than this, \\?\ prefix included.
constexpr DWORD kLongestPath = 32768;

constexpr std::wstring_view kExtendedPrefix = L"\\\\?\\";
constexpr std::wstring_view kExtendedUncPrefix = L"\\\\?\\UNC\\";

bool startsWith(const Text& text, std::wstring_view prefix, bool ignoreCase = false)
{
    if (text.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        const wchar_t a = ignoreCase ? static_cast<wchar_t>(std::towupper(text[i])) : text[i];
        const wchar_t b = ignoreCase ? static_cast<wchar_t>(std::towupper(prefix[i])) : prefix[i];
        if (a != b) {
            return false;
        }
    }
    return true;
}

// The shared Windows directory. GetWindowsDirectoryW would give a Terminal Services user their
// private Windows directory, which that user can write to.
Text systemWindowsDirectory()
{
    const UINT needed = GetSystemWindowsDirectoryW(nullptr, 0);
    if (needed == 0) {
        return {};
    }
    Text directory(needed, L'\0');
    const UINT length = GetSystemWindowsDirectoryW(directory.data(), needed);
    if (length == 0 || length >= needed) {
        return {};
    }
    directory.resize(length);
    return directory;
}

Text joinPath(const Text& directory, const Text& name)
{
    return !directory.empty() && directory.back() == L'\\' ? directory + name
                                                           : directory + L'\\' + name;
}

// A prefixed path that fits MAX_PATH without its prefix, in its ordinary form: users read it,
// and names joined to it with a backslash are only normalised without the prefix.
Text withoutNeedlessPrefix(const Text& path)
{
    Text plain;
    if (startsWith(path, kExtendedUncPrefix, true)) {
        plain = L"\\\\" + path.substr(kExtendedUncPrefix.size());
    } else if (startsWith(path, kExtendedPrefix) && path.size() >= kExtendedPrefix.size() + 2 &&
               path[kExtendedPrefix.size() + 1] == L':') {
        plain = path.substr(kExtendedPrefix.size());
    } else {
        return path;
    }
    return plain.size() < MAX_PATH ? plain : path;
}

}  // namespace

Text directoryOfModulePath(const Text& modulePath)
{
    const Text path = withoutNeedlessPrefix(modulePath);
    const std::size_t separator = path.rfind(L'\\');
    if (separator == Text::npos) {
        return {};
    }
    Text directory = path.substr(0, separator);
    // "Q:" alone names the drive's current directory, not its root.
    if (!directory.empty() && directory.back() == L':') {
        directory += L'\\';
    }
    return directory;
}

std::optional<Text> fullPathName(const Text& path)
{
    // Wine fails an empty path without setting an error.
    SetLastError(ERROR_INVALID_NAME);
    const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    Text full(needed, L'\0');
    const DWORD length =
        needed == 0 ? 0 : GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed) {
        // Longer than asked for: another thread changed the current directory in between.
        SetLastError(length == 0 ? GetLastError() : ERROR_INVALID_NAME);
        return std::nullopt;
    }
    full.resize(length);
    return full;
}

Text extendedPath(const Text& path)
{
    if (startsWith(path, kExtendedPrefix) || startsWith(path, L"\\\\.\\")) {
        return path;
    }
    // The prefix switches off all normalisation, so "." and ".." and doubled separators must be
    // resolved first. A path that cannot be made full gives nothing: a plain one would leave the
    // temporary and stream names built on it without the prefix.
    const std::optional<Text> full = fullPathName(path);
    if (!full) {
        return {};
    }
    return startsWith(*full, L"\\\\") ? Text(kExtendedUncPrefix) + full->substr(2)
                                      : Text(kExtendedPrefix) + *full;
}

Text extendedLengthPath(const Text& path)
{
    const bool driveAbsolute =
        path.size() >= 3 && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/');
    const bool unc = startsWith(path, L"\\\\");
    return path.size() < MAX_PATH || !(driveAbsolute || unc) ? path : extendedPath(path);
}

Text moduleFileName()
{
    Text name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD size = static_cast<DWORD>(name.size());
        const DWORD length = GetModuleFileNameW(nullptr, name.data(), size);
        if (length == 0) {
            return {};
        }
        // A full buffer is the only sign of truncation Windows XP gives; later versions also
        // set ERROR_INSUFFICIENT_BUFFER, but the length test covers both.
        if (length < size) {
            name.resize(length);
            return name;
        }
        if (size >= kLongestPath) {
            return {};
        }
        name.resize(static_cast<std::size_t>(size) * 2);
    }
}

Text Win32PlatformServices::ProgramDirectory()
{
    return directoryOfModulePath(moduleFileName());
}

MoveOutcome Win32PlatformServices::MoveWithoutReplace(const Text& existingPath, const Text& newPath,
                                                      const StopFlag& stop)
{
    return moveWithoutReplace(
        existingPath, newPath, [&stop](CopyStep, std::uint64_t) { return !stop.load(); },
        &crossings_);
}

MoveOutcome Win32PlatformServices::MoveBackWithoutReplace(const Text& existingPath,
                                                          const Text& newPath,
                                                          const FileIdentity& expected,
                                                          const StopFlag& stop)
{
    return moveWithoutReplace(
        existingPath, newPath, [&stop](CopyStep, std::uint64_t) { return !stop.load(); },
        &crossings_, &expected);
}

bool Win32PlatformServices::IsOrdinaryFile(const Text& path)
{
    const DWORD attributes = GetFileAttributesW(extendedLengthPath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes &
            (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) == 0;
}

void Win32PlatformServices::LaunchFileManager(const Text& commandLine)
{
    // Never "explorer" by search: the search starts in the program's own folder, where users put
    // arbitrary files, so a planted explorer.exe there would run instead.
    const Text windows = systemWindowsDirectory();
    if (windows.empty()) {
        return;
    }
    const Text explorer = joinPath(windows, L"explorer.exe");

    const std::size_t wordStart = commandLine.find_first_not_of(L' ');
    const std::size_t wordEnd =
        wordStart == Text::npos ? Text::npos : commandLine.find(L' ', wordStart);
    const Text arguments = wordEnd == Text::npos ? Text() : commandLine.substr(wordEnd + 1);
    Text line = L"\"" + explorer + L"\" " + arguments;

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION started{};
    // The Windows directory as the current one, so explorer's own DLL search never reaches the
    // folder this program was started in.
    if (CreateProcessW(explorer.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                       windows.c_str(), &startup, &started)) {
        OwnedHandle process(started.hProcess);
        OwnedHandle thread(started.hThread);
    }
}

void Win32PlatformServices::ShowWarning(const Text& prompt, const Text& title)
{
    MessageBoxW(owner_, prompt.c_str(), title.c_str(), MB_OK | MB_ICONWARNING);
}

}  // namespace fenrallo::win32
