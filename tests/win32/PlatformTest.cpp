// The Win32 platform layer against the real file system: which entries count
// as ordinary files, what a move does to both of its ends whatever the user listed, and how drops
// are read.
#include <array>
#include <atomic>
#include <random>
#include <thread>
#include "Support.h"

#include "platform/win32/DroppedPaths.h"
#include "platform/win32/FileHandles.h"
#include "platform/win32/FileMove.h"
#include "platform/win32/FileStreams.h"

namespace fenrallo::test {
namespace {

using win32::Win32PlatformServices;

constexpr DWORD kMissing = INVALID_FILE_ATTRIBUTES;
constexpr DWORD kFolder = FILE_ATTRIBUTE_DIRECTORY;

// What another program does meanwhile: has the source open or mapped into memory (a mapped
// file cannot be deleted), takes the destination's name before or during a copy, or stops it.
enum class Other { None, Reading, Writing, Mapping, NameTaken, NameTakenAtOpen, NameTakenMidCopy };

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
        {"past MAX_PATH, across volumes", L"^\\a.txt", deep + L"\\a.txt", file, true, Other::None},
        {"a folder across volumes", L"^\\dir", L"$\\out\\dir", kFolder, false, Other::None},
        {"onto a file, across volumes", L"^\\a.txt", L"$\\out\\a.txt", file, false, Other::NameTaken},
        {"held open, across volumes", L"^\\a.txt", L"$\\out\\a.txt", file, false, Other::Reading},
        {"open for writing, across volumes", L"^\\a.txt", L"$\\out\\a.txt", file, false, Other::Writing},
        {"not to be deleted, across volumes", L"^\\r.txt", L"$\\out\\r.txt", readOnly, false, Other::Mapping},
        {"the name taken as the copy starts", L"^\\a.txt", L"$\\out\\a.txt", file, false, Other::NameTakenAtOpen},
        {"the name taken mid-copy", L"^\\a.txt", L"$\\out\\a.txt", file, false, Other::NameTakenMidCopy},
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
        win32::CopyStep last{};
        const auto gate = [&](win32::CopyStep step, std::uint64_t copied) {
            const bool due = other == Other::NameTakenAtOpen
                                 ? step == win32::CopyStep::Open
                                 : other == Other::NameTakenMidCopy && copied > 0;
            if (due && !fs::exists(to)) {
                makeFile(to, "already there");
            }
            last = step;
            return true;
        };
        const auto held = hold(other, from);
        EXPECT_EQ(win32::moveWithoutReplace(from, to, gate), moves);
        // A name taken as the copy starts is found before anything is written.
        EXPECT_TRUE(other != Other::NameTakenAtOpen || last == win32::CopyStep::Open);
        const bool taken = other >= Other::NameTaken;
        if (source != kMissing) {
            EXPECT_EQ(contents(inner(from)), moves ? "<missing>" : moved);
        }
        EXPECT_EQ(contents(inner(to)), moves ? moved : (taken ? "already there" : "<missing>"));
        WIN32_FILE_ATTRIBUTE_DATA data{};
        // Attributes and times are kept as they were, across volumes too, and where the entry
        // did not move.
        if (source != kMissing &&
            GetFileAttributesExW(win32::extendedLengthPath(inner(moves ? to : from)).c_str(),
                                 GetFileExInfoStandard, &data)) {
            EXPECT_EQ(data.dwFileAttributes & kind, folder ? 0 : source & kind);
            EXPECT_EQ(CompareFileTime(&written, &data.ftLastWriteTime), 0);
        }
        // Nothing half-done is left behind anywhere.
        EXPECT_EQ(temporaryCopy(here + L"\\out") + temporaryCopy(there), L"");
    }
}

// A copy to another volume goes step by step, the new name on the disk before the source goes.
// A failure at any step, a stop included, leaves the source as it was and nothing else anywhere.
TEST(Win32PlatformServices, ACopyAcrossVolumesFailedAtAnyStepLeavesOnlyTheSource)
{
    using Step = win32::CopyStep;
    const std::string data((1 << 20) + 5, 'd');
    // Each step fails in turn, the data's halfway; none at first, and the move goes through.
    for (int step = -1; step <= static_cast<int>(Step::DeleteSource); ++step) {
        const std::optional<Step> failing =
            step < 0 ? std::nullopt : std::optional(static_cast<Step>(step));
        SCOPED_TRACE(step);
        const Text from = scratchFolder(L"R:\\") + L"\\a.txt";
        const Text to = scratchFolder() + L"\\a.txt";
        // Read-only, which a copy must take over, and which a delete must clear first.
        makeFile(from, data, FILE_ATTRIBUTE_READONLY);
        std::vector<Step> steps;
        const auto gate = [&](Step at, std::uint64_t copied) {
            if (steps.empty() || steps.back() != at) {
                steps.push_back(at);
            }
            return !(failing == at && (at != Step::Data || copied > 0));
        };
        EXPECT_EQ(win32::moveWithoutReplace(from, to, gate), !failing);
        EXPECT_EQ(contents(failing ? from : to), data);
        EXPECT_EQ(contents(failing ? to : from), "<missing>");
        EXPECT_EQ(GetFileAttributesW((failing ? from : to).c_str()) & FILE_ATTRIBUTE_READONLY,
                  DWORD{FILE_ATTRIBUTE_READONLY});
        EXPECT_EQ(
            temporaryCopy(fs::path(from).parent_path()) + temporaryCopy(fs::path(to).parent_path()),
            L"");
        if (!failing) {
            EXPECT_EQ(steps,
                      (std::vector{Step::Open, Step::Create, Step::Reserve, Step::Data,
                                   Step::Unmark, Step::Streams, Step::Attributes, Step::Flush,
                                   Step::Rename, Step::FlushName, Step::DeleteSource}));
        }
    }
}

// A rename refused as crossing volumes is not tried again for the next entry of that folder
// into that folder; a rename that worked teaches nothing.
TEST(Win32PlatformServices, ARefusedCrossingGoesStraightToTheCopyForItsFolders)
{
    const Text here = scratchFolder();
    const Text there = scratchFolder(L"R:\\");
    makeFolder(here + L"\\sub");
    win32::VolumeCrossings crossings;
    // Moves a new file; true when it went through the copy.
    const auto copied = [&](const Text& from, const Text& to) {
        makeFile(from, "x");
        bool copying = false;
        EXPECT_TRUE(win32::moveWithoutReplace(
            from, to, [&](win32::CopyStep, std::uint64_t) { return copying = true; }, &crossings));
        return copying;
    };
    EXPECT_FALSE(copied(here + L"\\1", here + L"\\sub\\1"));
    EXPECT_FALSE(crossings.known(here + L"\\2", here + L"\\sub\\2"));
    EXPECT_TRUE(copied(there + L"\\2", here + L"\\2"));
    EXPECT_TRUE(crossings.known(there + L"\\3", here + L"\\3"));
    EXPECT_FALSE(crossings.known(there + L"\\3", here + L"\\sub\\3"));
    // Known, a crossing is copied without asking: even where the rename would have worked.
    crossings.remember(here + L"\\4", here + L"\\sub\\4");
    EXPECT_TRUE(copied(here + L"\\4", here + L"\\sub\\4"));
}

// What Wine never shows: links and junctions refused, placeholders, deduplicated and compressed
// files read through their filters, encryption kept, offline never claimed, the refusals to
// reserve room told apart, and a second handle checked to be open on the file held.
TEST(Win32PlatformServices, ACopyAcrossVolumesDecidesWhatWineNeverShowsAsWindowsWould)
{
    constexpr DWORD reparse = FILE_ATTRIBUTE_REPARSE_POINT;
    constexpr DWORD archive = FILE_ATTRIBUTE_ARCHIVE;
    constexpr DWORD normal = FILE_ATTRIBUTE_NORMAL;
    constexpr DWORD kinds = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                            FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    constexpr DWORD cloud = reparse | archive | FILE_ATTRIBUTE_OFFLINE | 0x400000;
    // Attributes, reparse tag; refused, through the filter, made with, kept.
    // clang-format off
    const std::tuple<DWORD, DWORD, bool, bool, DWORD, DWORD> cases[] = {
        {archive, 0, false, false, normal, archive},
        {kinds | FILE_ATTRIBUTE_OFFLINE | FILE_ATTRIBUTE_COMPRESSED | FILE_ATTRIBUTE_SPARSE_FILE, 0, false, false, normal, kinds},
        {FILE_ATTRIBUTE_ENCRYPTED | archive, 0, false, false, FILE_ATTRIBUTE_ENCRYPTED, archive},
        {reparse | archive, IO_REPARSE_TAG_SYMLINK, true, true, normal, archive},
        {reparse, IO_REPARSE_TAG_MOUNT_POINT, true, true, normal, normal},
        {cloud, IO_REPARSE_TAG_CLOUD_6, false, true, normal, archive},
        {reparse | FILE_ATTRIBUTE_HIDDEN, IO_REPARSE_TAG_DEDUP, false, true, normal, FILE_ATTRIBUTE_HIDDEN},
        {reparse | FILE_ATTRIBUTE_ENCRYPTED, IO_REPARSE_TAG_WOF, false, true, FILE_ATTRIBUTE_ENCRYPTED, normal},
        {FILE_ATTRIBUTE_DIRECTORY, 0, true, false, normal, normal},
        {FILE_ATTRIBUTE_DIRECTORY | reparse, IO_REPARSE_TAG_CLOUD, true, true, normal, normal},
    };
    // clang-format on
    for (const auto& [attributes, tag, refused, filtered, made, kept] : cases) {
        const win32::CopyPlan plan = win32::planCopy(attributes, tag);
        EXPECT_EQ(std::tuple(plan.refused, plan.throughFilter, plan.createAttributes,
                             plan.keptAttributes),
                  std::tuple(refused, filtered, made, kept))
            << std::hex << attributes << " " << tag;
    }
    // clang-format off
    for (const auto& [error, unsupported] : {std::pair{ERROR_INVALID_PARAMETER, true},
         {ERROR_INVALID_FUNCTION, true}, {ERROR_NOT_SUPPORTED, true}, {ERROR_CALL_NOT_IMPLEMENTED, true},
         {ERROR_DISK_FULL, false}, {ERROR_FILE_TOO_LARGE, false}, {ERROR_ACCESS_DENIED, false}}) {
        // clang-format on
        EXPECT_EQ(win32::reservationUnsupported(error), unsupported) << error;
    }
    // The check that a second handle is open on the file held.
    const Text a = scratchFolder() + L"\\a";
    const Text b = scratchFolder() + L"\\b";
    makeFile(a, "a");
    makeFile(b, "b");
    const auto open = [](const Text& path) {
        return OwnedHandle(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                                       OPEN_EXISTING, 0, nullptr));
    };
    EXPECT_EQ(std::tuple(win32::sameFile(open(a).get(), open(a).get()),
                         win32::sameFile(open(a).get(), open(b).get()),
                         win32::sameFile(open(b).get(), open(a).get())),
              std::tuple(true, false, false));
}

// A FILE_STREAM_INFO chain of `names`, each entry 8-byte aligned as file systems list them, with
// the DWORD at byte `at` set to `value` when one is given.
std::string streamChain(const TextList& names, std::size_t at = 0, std::optional<DWORD> value = {})
{
    constexpr std::size_t header = offsetof(FILE_STREAM_INFO, StreamName);
    std::string chain;
    for (const Text& name : names) {
        const std::size_t bytes = name.size() * sizeof(wchar_t);
        std::string entry((header + bytes + 7) / 8 * 8, '\0');
        const std::array<DWORD, 2> fields = {
            &name == &names.back() ? 0 : static_cast<DWORD>(entry.size()),
            static_cast<DWORD>(bytes)};
        std::memcpy(entry.data(), fields.data(), sizeof fields);
        std::memcpy(entry.data() + header, name.data(), bytes);
        chain += entry;
    }
    if (value) {
        std::memcpy(chain.data() + at, &*value, sizeof *value);
    }
    return chain;
}

// Wine lists no streams at all: the lists a file system returns are made here, well-formed and
// not. Only a well-formed one gives names; any other stops the move rather than lose streams.
TEST(FileStreams, AWellFormedChainGivesItsNamedStreamsAndAnyOtherNothing)
{
    const Text data = L"::$DATA";
    const Text zone = L":Zone.Identifier:$DATA";
    const std::size_t all = std::string::npos;
    // The chain, how many of its bytes the buffer holds, the names it gives.
    const std::tuple<std::string, std::size_t, std::optional<TextList>> cases[] = {
        {streamChain({data}), all, TextList{}},
        {streamChain({data, L":thumb:$DATA", zone}), all, TextList{L":thumb:$DATA", zone}},
        {streamChain({zone, L":源 😀:$DATA"}), all, TextList{zone, L":源 😀:$DATA"}},
        {streamChain({zone}), 68, TextList{zone}},  // the name up to the buffer's last byte
        {streamChain({data, zone}) + std::string(64, '\0'), all, TextList{zone}},
        {streamChain({data, zone}), 70, std::nullopt},  // the second name cut short
        {streamChain({data, zone}), 45, std::nullopt},  // its header too
        {std::string(), all, std::nullopt},
        {streamChain({data, zone}, 0, 4096), all, std::nullopt},  // the next entry past the end
        {streamChain({data, zone}, 0, 8), all, std::nullopt},     // or inside this one
        {streamChain({zone}, 4, 5), all, std::nullopt},           // half a character
        {streamChain({zone}, 4, 400), all, std::nullopt},         // a name past the end
        {streamChain({L"Zone.Identifier"}), all, std::nullopt},
        {streamChain({L":..\\..\\b.txt"}), all, std::nullopt},
        {streamChain({L":"}), all, std::nullopt},
    };
    int row = 0;
    for (const auto& [chain, held, names] : cases) {
        EXPECT_EQ(win32::streamNamesIn(chain.data(), std::min(held, chain.size())), names) << row++;
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
    // A copy to another volume builds longer paths than the entry's own: all get that form.
    const win32::CopyPaths paths =
        win32::copyPaths(L"C:\\in\\..\\a.txt", L"\\\\server\\share\\out\\a.txt");
    EXPECT_EQ(paths.source, L"\\\\?\\C:\\a.txt");
    EXPECT_EQ(paths.destination, L"\\\\?\\UNC\\server\\share\\out\\a.txt");
    const Text folder = L"\\\\?\\UNC\\server\\share\\out\\~fenrallo-";
    EXPECT_EQ(paths.temporary.substr(0, folder.size()), folder);
    EXPECT_EQ(paths.temporary.substr(paths.temporary.size() - 4), L".tmp");
    EXPECT_NE(win32::copyPaths(L"C:\\a.txt", L"\\\\server\\share\\out\\a.txt").temporary,
              paths.temporary);
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
