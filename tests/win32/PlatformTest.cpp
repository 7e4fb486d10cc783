// The Win32 platform layer against the real file system: which entries count
// as ordinary files, what a move does to both of its ends whatever the user listed, and how drops
// are read.
#include <atomic>
#include <random>
#include <thread>
#include "Support.h"

#include "platform/win32/DroppedPaths.h"
#include "platform/win32/FileMove.h"

namespace fenrallo::test {
namespace {

using win32::Win32PlatformServices;

constexpr DWORD kMissing = INVALID_FILE_ATTRIBUTES;
constexpr DWORD kFolder = FILE_ATTRIBUTE_DIRECTORY;

// What another program does meanwhile: has the source open or mapped into memory (a mapped
// file cannot be deleted), takes the destination's name before or during a copy, or stops it.
enum class Other { None, Reading, Writing, Mapping, NameTaken, NameTakenMidCopy, Stop };

using MappedView = win32::UniqueHandle<LPCVOID, UnmapViewOfFile>;

// Holds `path` open or mapped for the move, as `other` does.
std::pair<OwnedHandle, MappedView> hold(Other other, const Text& path)
{
    if (other != Other::Reading && other != Other::Writing && other != Other::Mapping) {
        return {};
    }
    const bool writing = other == Other::Writing;
    OwnedHandle file(CreateFileW(path.c_str(), writing ? GENERIC_WRITE : GENERIC_READ,
                                 writing                   ? FILE_SHARE_READ | FILE_SHARE_WRITE
                                 : other == Other::Mapping ? FILE_SHARE_READ | FILE_SHARE_DELETE
                                                           : FILE_SHARE_READ,
                                 nullptr, OPEN_EXISTING, 0, nullptr));
    const OwnedHandle mapping(
        other == Other::Mapping
            ? CreateFileMappingW(file.get(), nullptr, PAGE_READONLY, 0, 0, nullptr)
            : nullptr);
    return {std::move(file),
            MappedView(mapping ? MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, 0) : nullptr)};
}

// Each row names its source and destination with $ for the row's folder on Q: and ^ for one on
// R:, another volume. The source is made with its attributes (a folder holds inner.txt) unless
// they are kMissing. Before the move, IsOrdinaryFile tells whether the source is an ordinary file.
TEST(Win32PlatformServices, MovesWholeOrLeavesBothEndsAloneAndKnowsOrdinaryFiles)
{
    const Text root = L"Q:\\root-" + std::to_wstring(GetCurrentProcessId()) + L".txt";
    const Text deep =
        L"$\\deep\\" + Text(90, L'x') + L"\\" + Text(90, L'x') + L"\\" + Text(90, L'x');
    const DWORD file = FILE_ATTRIBUTE_NORMAL;
    const DWORD readOnly = FILE_ATTRIBUTE_READONLY;
    const std::tuple<const char*, Text, Text, DWORD, bool, Other> cases[] = {
        // clang-format off
        {"names outside any code page", L"$\\源 😀.txt", L"$\\out\\ไทย ❄ 한국어.txt", file, true, Other::None},
        {"a read-only file", L"$\\r.txt", L"$\\out\\r.txt", readOnly, true, Other::None},
        {"a hidden file", L"$\\h.txt", L"$\\out\\h.txt", FILE_ATTRIBUTE_HIDDEN, true, Other::None},
        {"a system file", L"$\\s.txt", L"$\\out\\s.txt", FILE_ATTRIBUTE_SYSTEM, true, Other::None},
        {"a folder", L"$\\dir", L"$\\out\\dir", kFolder, true, Other::None},
        {"past MAX_PATH at both ends", deep + L"\\long.txt", deep + L"\\..\\moved.txt", file, true, Other::None},
        {"into a drive root, doubled separator", L"$\\a.txt", L"Q:\\\\" + root.substr(3), file, true, Other::None},
        {"onto an existing file", L"$\\a.txt", L"$\\out\\a.txt", file, false, Other::NameTaken},
        {"onto an existing folder", L"$\\dir", L"$\\out\\dir", kFolder, false, Other::NameTaken},
        {"a source that is gone", L"$\\gone.txt", L"$\\out\\gone.txt", kMissing, false, Other::None},
        {"a drive root as the source", L"Q:\\", L"$\\out\\", kMissing, false, Other::None},
        {"into a file", L"$\\a.txt", L"$\\out\\a.txt\\a.txt", file, false, Other::None},
        {"into a folder that does not exist", L"$\\a.txt", L"$\\none\\a.txt", file, false, Other::None},
        {"a folder into itself", L"$\\dir", L"$\\dir\\dir", kFolder, false, Other::None},
        {"a source held open", L"$\\a.txt", L"$\\out\\a.txt", file, false, Other::Reading},
        {"across volumes", L"^\\a.txt", L"$\\out\\a.txt", file, true, Other::None},
        {"read-only, across volumes", L"^\\r.txt", L"$\\out\\r.txt", readOnly, true, Other::None},
        {"past MAX_PATH, across volumes", L"^\\a.txt", deep + L"\\a.txt", file, true, Other::None},
        {"a folder across volumes", L"^\\dir", L"$\\out\\dir", kFolder, false, Other::None},
        {"onto a file, across volumes", L"^\\a.txt", L"$\\out\\a.txt", file, false, Other::NameTaken},
        {"held open, across volumes", L"^\\a.txt", L"$\\out\\a.txt", file, false, Other::Reading},
        {"open for writing, across volumes", L"^\\a.txt", L"$\\out\\a.txt", file, false, Other::Writing},
        {"not to be deleted, across volumes", L"^\\r.txt", L"$\\out\\r.txt", readOnly, false, Other::Mapping},
        {"the name taken mid-copy", L"^\\a.txt", L"$\\out\\a.txt", file, false, Other::NameTakenMidCopy},
        {"a stop mid-copy", L"^\\a.txt", L"$\\out\\a.txt", file, false, Other::Stop},
        // clang-format on
    };
    // Several chunks, so that something can happen mid-copy.
    const std::string moved = std::string((1 << 20) + 5, 'm');
    const FILETIME written{0x12345678, 0x01c00000};
    for (const auto& [name, fromPattern, toPattern, source, moves, other] : cases) {
        SCOPED_TRACE(name);
        const Text here = scratchFolder();
        const Text there = scratchFolder(L"R:\\");
        const auto place = [&](const Text& path) {
            return path[0] == L'$'   ? here + path.substr(1)
                   : path[0] == L'^' ? there + path.substr(1)
                                     : path;
        };
        for (Text folder = here + L"\\deep"; folder.size() <= place(deep).size();
             folder += L'\\' + Text(90, L'x')) {
            makeFolder(folder);
        }
        makeFolder(here + L"\\out");
        const Text from = place(fromPattern);
        const Text to = place(toPattern);
        const bool folder = source == kFolder;
        const auto inner = [folder](const Text& entry) {
            return folder ? entry + L"\\inner.txt" : entry;
        };
        folder ? makeFolder(from) : void();
        if (source != kMissing) {
            makeFile(inner(from), moved, folder ? file : source, &written);
        }
        if (other == Other::NameTaken) {
            folder ? makeFolder(to) : void();
            makeFile(inner(to), "already there");
        }
        const DWORD kind = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
        EXPECT_EQ(Win32PlatformServices().IsOrdinaryFile(from),
                  (source & (kind | kFolder)) == 0 || source == readOnly);
        const auto keepCopying = [&](std::uint64_t copied) {
            if (copied > 0 && other == Other::NameTakenMidCopy && !fs::exists(to)) {
                makeFile(to, "already there");
            }
            return copied == 0 || other != Other::Stop;
        };
        const auto held = hold(other, from);
        EXPECT_EQ(win32::moveWithoutReplace(from, to, keepCopying), moves);
        const bool taken = other == Other::NameTaken || other == Other::NameTakenMidCopy;
        if (source != kMissing) {
            EXPECT_EQ(contents(inner(from)), moves ? "<missing>" : moved);
        }
        EXPECT_EQ(contents(inner(to)), moves ? moved : (taken ? "already there" : "<missing>"));
        WIN32_FILE_ATTRIBUTE_DATA data{};
        // Attributes and times are kept as they were, across volumes too.
        if (moves && GetFileAttributesExW(win32::extendedLengthPath(inner(to)).c_str(),
                                          GetFileExInfoStandard, &data)) {
            EXPECT_EQ(data.dwFileAttributes & kind, folder ? 0 : source & kind);
            EXPECT_EQ(CompareFileTime(&written, &data.ftLastWriteTime), 0);
        }
        // Nothing half-done is left behind anywhere.
        EXPECT_EQ(temporaryCopy(here + L"\\out") + temporaryCopy(there), L"");
    }
}

// Long paths get the prefix the W functions need past MAX_PATH, normalised first; others stay.
TEST(Win32PlatformServices, LongPathsGetTheExtendedFormAndTheProgramFolderItsPlainOne)
{
    const Text name(300, L'n');
    const std::pair<Text, Text> cases[] = {
        {L"C:/a/../" + name, L"\\\\?\\C:\\" + name},
        {L"\\\\server\\share\\" + name, L"\\\\?\\UNC\\server\\share\\" + name},
        {L"\\\\?\\C:\\" + name, L"\\\\?\\C:\\" + name},
        {L"a\\" + name, L"a\\" + name},
        {L"C:\\short", L"C:\\short"},
    };
    for (const auto& [path, extended] : cases) {
        EXPECT_EQ(win32::extendedLengthPath(path), extended);
    }
    EXPECT_EQ(win32::directoryOfModulePath(L"\\\\?\\Q:\\a.exe"), L"Q:\\");
    EXPECT_EQ(win32::directoryOfModulePath(L"\\\\?\\UNC\\s\\d\\a.exe"), L"\\\\s\\d");
    EXPECT_EQ(win32::directoryOfModulePath(L"\\\\?\\C:\\" + name + L"\\a.exe"),
              L"\\\\?\\C:\\" + name);
}

// Another program that creates a file at a path the moment it is free: a logger that reopens
// its file, a sync client. The move is over by then; the moved file must stay where it went.
TEST(Win32PlatformServices, AFileMadeAtTheSourceRightAfterAMoveTakesNothingFromIt)
{
    const Text here = scratchFolder();
    makeFolder(here + L"\\out");
    TextList sources;
    for (int i = 0; i < 200; ++i) {
        sources.push_back(here + L"\\" + std::to_wstring(i));
        makeFile(sources.back(), "original " + std::to_string(i));
    }
    std::atomic<bool> done{false};
    std::thread other([&] {
        while (!done) {
            for (const Text& path : sources) {
                CloseHandle(
                    CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
            }
        }
    });
    const StopFlag stop{false};
    for (int i = 0; i < 200; ++i) {
        const Text to = here + L"\\out\\" + std::to_wstring(i);
        Win32PlatformServices().MoveWithoutReplace(sources[static_cast<std::size_t>(i)], to, stop);
        EXPECT_EQ(contents(to), "original " + std::to_string(i));
    }
    done = true;
    other.join();
}

// Drops and pastes come from other programs, and some of those get the block wrong, or worse:
// thousands of blocks, well-formed and not, each give exactly their paths or none at all.
TEST(DroppedPaths, GiveExactlyThePathsOfAWellFormedBlockAndNoneOfAnyOther)
{
    // Long paths whole, in a block of up to 256 MiB: none from a larger one, which no drop of
    // real paths needs, or from no drop at all. Then blocks made at random, wide and ANSI.
    const TextList longPaths = {L"C:\\" + Text(32000, L'q'), L"\\\\server\\share"};
    const std::size_t most = std::size_t{256} << 20;
    for (const std::size_t size : {std::size_t{0}, most, most + 1}) {
        const win32::DropHandle drop(
            makeBlock(pathList(longPaths, true), true, sizeof(DROPFILES), size));
        EXPECT_EQ(win32::droppedPaths(drop.get()), size <= most ? longPaths : TextList());
    }
    EXPECT_TRUE(win32::droppedPaths(nullptr).empty());
    std::mt19937 random(7);
    const auto below = [&random](std::size_t n) { return std::size_t{random()} % n; };
    const Text letters = L"abc \\.:_-源文件😀";
    for (int i = 0; i < 12000; ++i) {
        const bool wide = below(2) == 0;
        TextList paths(below(5));
        for (Text& path : paths) {
            for (std::size_t length = 1 + below(40); path.size() < length;) {
                path += letters[below(wide ? letters.size() : 9)];
            }
        }
        std::string list = pathList(paths, wide);
        auto offset = static_cast<DWORD>(sizeof(DROPFILES));
        const std::size_t kind = below(4);
        if (kind == 1) {  // anything after the list's end is no business of the reader's
            list.append(1 + below(9), static_cast<char>(below(256)));
        } else if (kind == 2) {  // cut short, the final NUL or more missing, odd lengths too
            list.resize(below(list.size()));
        } else if (kind == 3) {  // the list said to start past the end, or inside the header
            offset =
                static_cast<DWORD>(below(2) == 0 ? sizeof(DROPFILES) + list.size() + below(1 << 30)
                                                 : below(sizeof(DROPFILES)));
        }
        const win32::DropHandle drop(makeBlock(list, wide, offset));
        EXPECT_EQ(win32::droppedPaths(drop.get()), kind < 2 ? paths : TextList()) << i;
    }
}

}  // namespace
}  // namespace fenrallo::test
