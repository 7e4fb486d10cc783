// The Windows realisation of PlatformServices: the program's directory, moves, file checks, the
// file manager and the warning box, all through the W functions so any Unicode path works.
#pragma once

#include <windows.h>

#include <optional>

#include "platform/PlatformServices.h"
#include "platform/win32/FileMove.h"

namespace fenrallo::win32 {

class Win32PlatformServices final : public PlatformServices {
public:
    explicit Win32PlatformServices(HWND owner = nullptr) : owner_(owner) {}

    // The main window exists only after the services are handed to it, so it is set later.
    void setOwner(HWND owner) { owner_ = owner; }

    Text ProgramDirectory() override;
    MoveOutcome MoveWithoutReplace(const Text& existingPath, const Text& newPath,
                                   const StopFlag& stop) override;
    MoveOutcome MoveBackWithoutReplace(const Text& existingPath, const Text& newPath,
                                       const FileIdentity& expected, const StopFlag& stop) override;
    bool IsOrdinaryFile(const Text& path) override;
    void LaunchFileManager(const Text& commandLine) override;
    void ShowWarning(const Text& prompt, const Text& title) override;

private:
    HWND owner_;
    VolumeCrossings crossings_;  // the worker's, batch after batch
};

// The program's own full path, read whole however long; empty when it cannot be read.
Text moduleFileName();

// The directory part of a module's full path as ProgramDirectory reports it: no trailing
// backslash except at a drive root, and without the \\?\ prefix when the path is short enough
// to work without it.
Text directoryOfModulePath(const Text& modulePath);

// GetFullPathNameW's answer, whatever its length; nothing where it fails, GetLastError saying why.
std::optional<Text> fullPathName(const Text& path);

// The \\?\ or \\?\UNC\ form of a path, made full first: the form the W file functions take past
// MAX_PATH on every supported Windows. Paths already in a prefixed form come back unchanged; a
// path that cannot be made full comes back empty, GetLastError saying why.
Text extendedPath(const Text& path);

// extendedPath for an absolute path of MAX_PATH or more (empty where that fails); shorter and
// relative paths come back unchanged.
Text extendedLengthPath(const Text& path);

}  // namespace fenrallo::win32
