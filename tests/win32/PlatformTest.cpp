// The Win32 platform layer against the real file system: which entries count
// as ordinary files, what a move does to both of its ends whatever the user listed, and how drops,
// the command line and a later start's hand-over are read.
#include <random>

#include "Support.h"

#include "platform/win32/DroppedPaths.h"
#include "platform/win32/FileHandles.h"
#include "platform/win32/FileStreams.h"
#include "platform/win32/HandOver.h"

namespace fenrallo::test {
namespace {

using Step = win32::CopyStep;

constexpr DWORD kMissing = INVALID_FILE_ATTRIBUTES;
constexpr DWORD kFolder = FILE_ATTRIBUTE_DIRECTORY;
constexpr DWORD kReadOnly = FILE_ATTRIBUTE_READONLY;
constexpr DWORD kKinds = kReadOnly | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

// What happens meanwhile: an earlier move found the folders on two volumes (a crossing Known);
// another program has the source open or mapped into memory (a mapped file cannot be deleted), or
// takes the destination's name before or during a copy.
enum class Other { None, Known, Reading, Writing, Mapping, NameTaken, TakenAtOpen, TakenMidCopy };

// Each row names its source and destination with $ for the row's folder on Q: and ^ for one on
// R:, another volume (a path that starts with Q: is taken as it is). The source is made with its
// attributes (a folder holds inner.txt) unless they are kMissing, and a copy across volumes can be
// made to fail at one of its steps. Before the move, IsOrdinaryFile tells whether the source is an
// ordinary file.
TEST(Win32PlatformServices, MovesWholeOrLeavesBothEndsAloneAndKnowsOrdinaryFiles)
{
    Text deep = scratchFolder();
    for (int level = 0; level < 3; ++level) {
        makeFolder(deep += L'\\' + Text(90, L'x'));
    }
    const DWORD file = FILE_ATTRIBUTE_NORMAL;
    using enum Other;
    const Text onQ = L"$\\a.txt", onR = L"^\\a.txt", outQ = L"$\\out\\a.txt";
    // clang-format off
    std::vector<std::tuple<std::string, Text, Text, DWORD, bool, Other, std::optional<Step>>> cases = {
        {"names outside any code page", L"$\\源 😀.txt", L"$\\out\\ไทย ❄ 한국어.txt", file, true, None, {}}, {"a read-only file", L"$\\r.txt", L"$\\out\\r.txt", kReadOnly, true, None, {}},
        {"a hidden file", L"$\\h.txt", L"$\\out\\h.txt", FILE_ATTRIBUTE_HIDDEN, true, None, {}}, {"a system file", L"$\\s.txt", L"$\\out\\s.txt", FILE_ATTRIBUTE_SYSTEM, true, None, {}},
        {"a folder", L"$\\dir", L"$\\out\\dir", kFolder, true, None, {}}, {"past MAX_PATH at both ends", deep + L"\\long.txt", deep + L"\\..\\moved.txt", file, true, None, {}},
        {"into a drive root, doubled separator", onQ, L"Q:\\\\root-" + std::to_wstring(GetCurrentProcessId()) + L".txt", file, true, None, {}},
        {"onto an existing file", onQ, outQ, file, false, NameTaken, {}}, {"onto an existing folder", L"$\\dir", L"$\\out\\dir", kFolder, false, NameTaken, {}},
        {"a source that is gone", L"$\\gone.txt", L"$\\out\\gone.txt", kMissing, false, None, {}}, {"a drive root as the source", L"Q:\\", L"$\\out\\", kMissing, false, None, {}},
        {"into a file", onQ, L"$\\out\\a.txt\\a.txt", file, false, None, {}}, {"into a folder that does not exist", onQ, L"$\\none\\a.txt", file, false, None, {}},
        {"a folder into itself", L"$\\dir", L"$\\dir\\dir", kFolder, false, None, {}}, {"a source held open", onQ, outQ, file, false, Reading, {}},
        {"a crossing known, within a volume", onQ, outQ, file, true, Known, {}}, {"past MAX_PATH, across volumes", onR, deep + L"\\a.txt", file, true, None, {}},
        {"read-only, across volumes", L"^\\r.txt", L"$\\out\\r.txt", kReadOnly, true, None, {}}, {"a folder across volumes", L"^\\dir", L"$\\out\\dir", kFolder, false, None, {}},
        {"onto a file, across volumes", onR, outQ, file, false, NameTaken, {}}, {"held open, across volumes", onR, outQ, file, false, Reading, {}},
        {"open for writing, across volumes", onR, outQ, file, false, Writing, {}}, {"not to be deleted, across volumes", L"^\\r.txt", L"$\\out\\r.txt", kReadOnly, false, Mapping, {}},
        {"the name taken as the copy starts", onR, outQ, file, false, TakenAtOpen, {}}, {"the name taken mid-copy", onR, outQ, file, false, TakenMidCopy, {}},
    };
    // clang-format on
    // A copy across volumes goes through its steps in order. Each fails in turn (the data's
    // halfway), a stop included, on a read-only file, which a copy must take over and a delete
    // must clear first: the source is left as it was and nothing else anywhere.
    std::vector<Step> all;
    for (int step = 0; step <= static_cast<int>(Step::DeleteSource); ++step) {
        all.push_back(static_cast<Step>(step));
        cases.emplace_back("failed at step " + std::to_string(step), L"^\\r.txt", L"$\\out\\r.txt",
                           kReadOnly, false, None, all.back());
    }
    // Several chunks, so that something can happen mid-copy.
    const std::string bytes((1 << 20) + 5, 'm');
    const FILETIME written{0x12345678, 0x01c00000};
    for (const auto& [name, fromPattern, toPattern, source, moves, other, failing] : cases) {
        SCOPED_TRACE(name);
        const Text here = scratchFolder(), there = scratchFolder(L"R:\\");
        const auto place = [&](const Text& path) {
            return path[0] == L'Q' ? path : (path[0] == L'$' ? here : there) + path.substr(1);
        };
        makeFolder(here + L"\\out");
        const Text from = place(fromPattern), to = place(toPattern);
        const bool folder = source == kFolder;
        const Text inner = folder ? L"\\inner.txt" : L"";
        const Text innerFrom = from + inner, innerTo = to + inner;
        folder ? makeFolder(from) : void();
        source != kMissing ? makeFile(innerFrom, bytes, folder ? file : source, &written) : void();
        other == NameTaken&& folder ? makeFolder(to) : void();
        other == NameTaken ? makeFile(innerTo, "already there") : void();
        EXPECT_EQ(win32::Win32PlatformServices().IsOrdinaryFile(from),
                  (source & (kKinds | kFolder)) == 0 || source == kReadOnly);
        std::vector<Step> steps;
        const auto gate = [&](Step step, std::uint64_t copied) {
            if ((other == TakenAtOpen ? step == Step::Open : other == TakenMidCopy && copied > 0) &&
                !fs::exists(to)) {
                makeFile(to, "already there");
            }
            steps.push_back(step);
            return !(failing == step && (step != Step::Data || copied > 0));
        };
        // The source held open or mapped for the move, as `other` does.
        const bool writing = other == Writing, mapping = other == Mapping;
        const OwnedHandle held(
            other >= Reading && other <= Mapping
                ? CreateFileW(from.c_str(), writing ? GENERIC_WRITE : GENERIC_READ,
                              FILE_SHARE_READ | (writing ? FILE_SHARE_WRITE : 0) |
                                  (mapping ? FILE_SHARE_DELETE : 0),
                              nullptr, OPEN_EXISTING, 0, nullptr)
                : nullptr);
        const OwnedHandle section(
            mapping ? CreateFileMappingW(held.get(), nullptr, PAGE_READONLY, 0, 0, nullptr)
                    : nullptr);
        const win32::UniqueHandle<LPCVOID, UnmapViewOfFile> view(
            section ? MapViewOfFile(section.get(), FILE_MAP_READ, 0, 0, 0) : nullptr);
        // A known crossing is copied without asking: even where the rename would have worked.
        win32::VolumeCrossings crossings;
        other == Known ? crossings.remember(from, to) : void();
        const bool moved = win32::moveWithoutReplace(from, to, gate, &crossings).moved;
        steps.erase(std::unique(steps.begin(), steps.end()), steps.end());
        // Nothing half-done is left behind anywhere.
        EXPECT_EQ(std::tuple(moved, contents(innerFrom), contents(innerTo),
                             temporaryCopy(here + L"\\out") + temporaryCopy(there)),
                  std::tuple(moves, moves || source == kMissing ? "<missing>" : bytes,
                             moves                ? bytes
                             : other >= NameTaken ? "already there"
                                                  : "<missing>",
                             Text()));
        // A name taken as the copy starts is found before anything is written.
        const bool crossing = fromPattern[0] == L'^' || other == Known;
        EXPECT_TRUE((other != TakenAtOpen || steps == std::vector{Step::Open}) &&
                    (!moves || !crossing || steps == all) &&
                    (other > Known || steps.empty() != crossing));
        // A rename refused as crossing volumes is not tried again for the next entry of that
        // folder into that folder; a rename that worked teaches nothing.
        EXPECT_EQ(std::tuple(crossings.known(from + L"2", to + L"2"), crossings.known(from, here)),
                  std::tuple(!steps.empty(), false));
        // Attributes and times are kept as they were, across volumes too, and where the entry
        // did not move.
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (source != kMissing) {
            GetFileAttributesExW(win32::extendedLengthPath(moved ? innerTo : innerFrom).c_str(),
                                 GetFileExInfoStandard, &data);
            EXPECT_EQ(std::tuple(data.dwFileAttributes & kKinds,
                                 CompareFileTime(&written, &data.ftLastWriteTime)),
                      std::tuple(folder ? 0 : source & kKinds, 0));
        }
    }
}

// A move onto itself is found from the paths alone, the source need not even exist; every move
// says why it stayed and which file it left, and the undo moves back only that file, through the
// handle it checked, even when another is put in its place between the check and the rename.
TEST(Win32PlatformServices, AMoveSaysWhyItStayedAndTheUndoMovesBackOnlyTheFileItMoved)
{
    const Text q = scratchFolder(), none = q + L"\\a.txt";
    // clang-format off
    for (const auto& [one, other, same] : {std::tuple{none, none, true}, {none, q + L"\\A.TXT", true}, {none, q + L"/a.txt", true},
         {none, L"\\\\?\\" + none, true}, {none, q + L"\\x\\..\\a.txt. ", true}, {q + L"\\ä😀", q + L"\\Ä😀", true},
         {none, q + L"\\b.txt", false}, {none, none + L"2", false}, {L"Q:\\a", L"R:\\a", false}}) {
        // clang-format on
        const MoveOutcome outcome =
            win32::moveWithoutReplace(one, other, [](Step, std::uint64_t) { return true; });
        EXPECT_EQ(outcome.reason == kReasonMovedOntoItself, same) << testing::PrintToString(other);
    }
    enum Meddle { None, Replaced, Swapped, Taken, Gone, Folder };
    // Wine renames through a handle whatever is at the path it was opened with: there the file
    // swapped in moves and the one checked stays, renamed away. Windows renames the file itself.
    const bool wine = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
    // Where the entry goes ($: a folder of its own on Q:, ^: on R:); what happens; the batch's
    // reason; the undo's reason and what it leaves at the old and the new path.
    // clang-format off
    const std::tuple<Text, Meddle, DWORD, DWORD, std::string, std::string> cases[] = {
        {L"$", None, 0, 0, "mine", "<missing>"}, {L"^", None, 0, 0, "mine", "<missing>"},
        {L"$", Replaced, 0, kReasonNotTheFileMoved, "<missing>", "other"}, {L"^", Replaced, 0, kReasonNotTheFileMoved, "<missing>", "other"},
        {L"$", Swapped, 0, 0, wine ? "other" : "mine", wine ? "<missing>" : "other"},
        {L"$", Taken, ERROR_ALREADY_EXISTS, 0, "", ""}, {L"$", Gone, ERROR_FILE_NOT_FOUND, 0, "", ""}, {L"^", Folder, kReasonFolderToOtherVolume, 0, "", ""},
    };
    // clang-format on
    for (const auto& [where, meddle, reason, undoReason, left, there] : cases) {
        SCOPED_TRACE(meddle);
        const Text from = scratchFolder() + L"\\a.txt";
        const Text to = scratchFolder(where == L"$" ? L"Q:\\" : L"R:\\") + L"\\a.txt";
        meddle == Folder ? makeFolder(from) : meddle != Gone ? makeFile(from, "mine") : void();
        meddle == Taken ? makeFile(to, "taken") : void();
        const auto swap = [&] {
            MoveFileW(to.c_str(), (to + L".old").c_str());
            makeFile(to, "other");
        };
        win32::VolumeCrossings crossings;
        const auto gate = [&](Step step, std::uint64_t) {
            step == Step::Rename&& meddle == Swapped ? swap() : void();
            return true;
        };
        const MoveOutcome outcome = win32::moveWithoutReplace(from, to, gate, &crossings);
        EXPECT_EQ(std::tuple(outcome.moved, outcome.reason), std::tuple(reason == 0, reason));
        if (reason == 0) {
            meddle == Replaced ? swap() : void();
            const MoveOutcome back =
                win32::moveWithoutReplace(to, from, gate, &crossings, &outcome.identity);
            EXPECT_EQ(std::tuple(back.moved, back.reason, contents(from), contents(to)),
                      std::tuple(undoReason == 0, undoReason, left, there));
        }
    }
}

// What Wine never shows: links and junctions refused, placeholders, deduplicated and compressed
// files read through their filters, encryption kept, offline never claimed, the refusals to
// reserve room told apart, and a second handle checked to be open on the file held.
TEST(Win32PlatformServices, ACopyAcrossVolumesDecidesWhatWineNeverShowsAsWindowsWould)
{
    constexpr DWORD reparse = FILE_ATTRIBUTE_REPARSE_POINT, archive = FILE_ATTRIBUTE_ARCHIVE;
    constexpr DWORD normal = FILE_ATTRIBUTE_NORMAL, encrypted = FILE_ATTRIBUTE_ENCRYPTED;
    constexpr DWORD kinds = kKinds | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    // Attributes, reparse tag; refused, through the filter, made with, kept.
    // clang-format off
    const std::tuple<DWORD, DWORD, bool, bool, DWORD, DWORD> cases[] = {
        {archive, 0, false, false, normal, archive}, {kinds | FILE_ATTRIBUTE_OFFLINE | FILE_ATTRIBUTE_COMPRESSED | FILE_ATTRIBUTE_SPARSE_FILE, 0, false, false, normal, kinds},
        {encrypted | archive, 0, false, false, encrypted, archive}, {reparse | archive, IO_REPARSE_TAG_SYMLINK, true, true, normal, archive},
        {reparse, IO_REPARSE_TAG_MOUNT_POINT, true, true, normal, normal}, {reparse | archive | FILE_ATTRIBUTE_OFFLINE | 0x400000, IO_REPARSE_TAG_CLOUD_6, false, true, normal, archive},
        {reparse | FILE_ATTRIBUTE_HIDDEN, IO_REPARSE_TAG_DEDUP, false, true, normal, FILE_ATTRIBUTE_HIDDEN}, {reparse | encrypted, IO_REPARSE_TAG_WOF, false, true, encrypted, normal},
        {kFolder, 0, true, false, normal, normal}, {kFolder | reparse, IO_REPARSE_TAG_CLOUD, true, true, normal, normal},
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
        EXPECT_EQ(win32::refusedAsUnsupported(error), unsupported) << error;
    }
    // The check that a second handle is open on the file held.
    const Text a = scratchFolder(), b = scratchFolder();
    const auto open = [](const Text& path) {
        return OwnedHandle(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                                       OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    };
    EXPECT_EQ(std::tuple(win32::sameFile(open(a).get(), open(a).get()),
                         win32::sameFile(open(a).get(), open(b).get()),
                         win32::sameFile(open(b).get(), open(a).get())),
              std::tuple(true, false, false));
    // The identity read through a folder's memo of its volume is the one read in full, file after
    // file, and a second apart as well.
    win32::FolderVolume memo;
    for (const Text& folder : {a, b, a}) {
        const OwnedHandle held = open(folder);
        EXPECT_EQ(win32::fileIdentity(held.get(), memo), win32::fileIdentity(held.get()));
    }
    memo.lastUsed -= 2000;
    EXPECT_EQ(win32::fileIdentity(open(b).get(), memo), win32::fileIdentity(open(b).get()));
}

// Wine refuses FileDispositionInfoEx. These calls give it what Windows 10 on NTFS does with them
// (`takesEx`) or Windows 7 (not), made of Wine's own marks, and log each call that marks, unmarks
// or flushes: "new+" a file created marked, "probe" that mark set again through the newer call,
// "clear" it taken off that way, "posix" a POSIX delete. A word ends in "-" where the call was
// refused as unsupported, in "!" where it was the one `refused` (as access denied).
struct OtherWindows {
    static inline bool takesEx = true;
    static inline std::string refused, log;

    static bool logged(const std::string& word, bool newer = false)
    {
        const std::string end = newer && !takesEx ? "- " : word == refused ? "! " : " ";
        log += word + end;
        SetLastError(end == "- " ? ERROR_INVALID_PARAMETER : ERROR_ACCESS_DENIED);
        return end == " ";
    }
    static BOOL WINAPI mark(HANDLE file, BOOLEAN deleted)
    {
        FILE_DISPOSITION_INFO disposition{deleted};
        return SetFileInformationByHandle(file, FileDispositionInfo, &disposition,
                                          sizeof disposition);
    }
    static HANDLE WINAPI create(LPCWSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES,
                                DWORD how, DWORD flags, HANDLE)
    {
        const DWORD marked = flags & FILE_FLAG_DELETE_ON_CLOSE;
        const HANDLE file = logged(marked != 0 ? "new+" : "new")
                                ? CreateFileW(path, access, share, nullptr, how,
                                              flags & ~(takesEx ? marked : 0), nullptr)
                                : INVALID_HANDLE_VALUE;
        return marked != 0 && takesEx && !mark(file, TRUE) ? INVALID_HANDLE_VALUE : file;
    }
    static BOOL WINAPI setInformation(HANDLE file, FILE_INFO_BY_HANDLE_CLASS kind, LPVOID info,
                                      DWORD)
    {
        const bool plain = kind == FileDispositionInfo;
        const DWORD flags = plain ? *static_cast<BOOLEAN*>(info) : *static_cast<DWORD*>(info);
        const char* const words[] = {"unmark", "mark", "clear", "probe", "posix"};
        return logged(words[plain        ? flags
                            : flags == 8 ? 2
                            : flags == 9 ? 3
                                         : 4],
                      !plain) &&
               mark(file, flags & 1);
    }
    static BOOL WINAPI flush(HANDLE file) { return logged("flush") && FlushFileBuffers(file); }
};

// Each way of marking, its failures and the way each volume takes, asked once: two files go from
// R: to Q:, a large one, then a short one through the same buffer. A copy stays marked until its
// data is flushed; a failure at any call removes the copy and leaves the source, telling that
// call's error; the next file goes as if nothing had happened.
TEST(Win32PlatformServices, ACopyIsMarkedUntilItsDataIsOnTheDiskWhereverItGoesAndSaysWhyItStayed)
{
    const win32::FileCalls calls{&OtherWindows::create, &OtherWindows::setInformation,
                                 &OtherWindows::flush};
    const auto anyStep = [](Step, std::uint64_t) { return true; };
    const std::string large((1 << 20) + 5, 'a');
    // Windows 10 or 7, the call refused, why the large file stayed, the calls made for each file.
    // clang-format off
    const std::tuple<bool, std::string, DWORD, std::string> cases[] = {
        {true, "", 0, "new+ probe flush clear flush posix | new+ flush clear flush posix | "},
        {false, "", 0, "new+ probe- new mark flush unmark flush posix- mark | new mark flush unmark flush mark | "},
        {false, "mark", 5, "new+ probe- new mark! | new mark! | "},
        {true, "clear", 5, "new+ probe flush clear! mark | new+ flush clear! mark | "},
        {true, "posix", 5, "new+ probe flush clear flush posix! mark | new+ flush clear flush posix! mark | "},
    };
    // clang-format on
    for (const auto& [takesEx, refused, reason, log] : cases) {
        SCOPED_TRACE(log);
        std::tie(OtherWindows::takesEx, OtherWindows::refused, OtherWindows::log) =
            std::tuple(takesEx, refused, "");
        const Text from = scratchFolder(L"R:\\"), to = scratchFolder();
        win32::VolumeCrossings crossings;
        crossings.copyState().calls = &calls;
        std::vector<DWORD> reasons;
        for (const auto& [name, bytes] : {std::pair{L"\\a", large}, {L"\\b", "short"}}) {
            makeFile(from + name, bytes);
            reasons.push_back(
                win32::moveWithoutReplace(from + name, to + name, anyStep, &crossings).reason);
            OtherWindows::log += "| ";
        }
        // Each file whole in one place, and nothing else.
        const auto placed = [&](const Text& name, const std::string& bytes) {
            return contents(to + name) + contents(from + name) == bytes + "<missing>";
        };
        EXPECT_EQ(
            std::tuple(reasons, OtherWindows::log, placed(L"\\a", large), placed(L"\\b", "short"),
                       temporaryCopy(to)),
            std::tuple(std::vector<DWORD>{reason, reason}, log, reason == 0, reason == 0, Text()));
    }
    // Why else a copy stays: the program's reason for a folder or for a file that is not the one
    // expected, else the error of the call that failed; a stop cancels it. With the identity of
    // the file held, the file moves and tells the identity of its copy.
    const Text from = scratchFolder(L"R:\\"), to = scratchFolder(), file = from + L"\\a";
    makeFolder(from + L"\\dir");
    makeFile(file, "a");
    makeFile(to + L"\\taken", "");
    const auto identity = [](const Text& path) {
        const OwnedHandle held(CreateFileW(path.c_str(), 0, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        return win32::fileIdentity(held.get()).value_or(FileIdentity{});
    };
    const FileIdentity other{1, 2, 3}, held = identity(file);
    // From, to, the identity expected; why it stayed, how often the gate was asked (never for a
    // path that cannot be made full, at the source's opening only for another file than expected).
    // clang-format off
    const std::tuple<Text, Text, const FileIdentity*, DWORD, std::size_t> reasons[] = {
        {from + L"\\dir", to + L"\\dir", nullptr, kReasonFolderToOtherVolume, 1}, {file, to + L"\\taken", nullptr, ERROR_ALREADY_EXISTS, 1},
        {file, L"", nullptr, ERROR_INVALID_NAME, 0}, {file, to + L"\\a", &other, kReasonNotTheFileMoved, 1},
        {file, to + L"\\a", &held, ERROR_CANCELLED, 4}, {file, to + L"\\a", &held, 0, 12},
    };
    // clang-format on
    for (const auto& [source, destination, expected, reason, count] : reasons) {
        win32::VolumeCrossings crossings;
        crossings.remember(source, destination);
        std::size_t steps = 0;
        const auto gate = [&steps, stop = reason == ERROR_CANCELLED](Step step, std::uint64_t) {
            return ++steps, !(stop && step == Step::Data);
        };
        const MoveOutcome outcome =
            win32::moveWithoutReplace(source, destination, gate, &crossings, expected);
        EXPECT_EQ(std::tuple(outcome.reason, outcome.identity, temporaryCopy(to), steps),
                  std::tuple(reason, reason == 0 ? identity(to + L"\\a") : FileIdentity{}, Text(),
                             count));
    }
    EXPECT_EQ(contents(to + L"\\a") + contents(file), "a<missing>");
}

// A FILE_STREAM_INFO chain of `names`, each entry 8-byte aligned as file systems list them, with
// the DWORD at byte `at` set to `value` when one is given.
std::string streamChain(const TextList& names, std::size_t at = 0, std::optional<DWORD> value = {})
{
    std::string chain;
    for (const Text& name : names) {
        const auto bytes = static_cast<DWORD>(name.size() * sizeof(wchar_t));
        std::string entry((offsetof(FILE_STREAM_INFO, StreamName) + bytes + 7) / 8 * 8, '\0');
        auto* const info = reinterpret_cast<FILE_STREAM_INFO*>(entry.data());
        info->NextEntryOffset = &name == &names.back() ? 0 : static_cast<DWORD>(entry.size());
        info->StreamNameLength = bytes;
        std::memcpy(entry.data() + offsetof(FILE_STREAM_INFO, StreamName), name.data(), bytes);
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
    // The chain, how many of its bytes the buffer holds, the names it gives. Well-formed: one
    // name up to the buffer's last byte, zeros after the chain. Not: the second name or its header
    // cut short, no chain, the next entry past the end or inside this one, half a character, a
    // name past the end, names that are no stream's.
    // clang-format off
    const std::tuple<std::string, std::size_t, std::optional<TextList>> cases[] = {
        {streamChain({data}), all, TextList{}}, {streamChain({data, L":thumb:$DATA", zone}), all, TextList{L":thumb:$DATA", zone}},
        {streamChain({zone, L":源 😀:$DATA"}), all, TextList{zone, L":源 😀:$DATA"}}, {streamChain({zone}), 68, TextList{zone}},
        {streamChain({data, zone}) + std::string(64, '\0'), all, TextList{zone}},
        {streamChain({data, zone}), 70, std::nullopt}, {streamChain({data, zone}), 45, std::nullopt}, {std::string(), all, std::nullopt},
        {streamChain({data, zone}, 0, 4096), all, std::nullopt}, {streamChain({data, zone}, 0, 8), all, std::nullopt},
        {streamChain({zone}, 4, 5), all, std::nullopt}, {streamChain({zone}, 4, 400), all, std::nullopt},
        {streamChain({L"Zone.Identifier"}), all, std::nullopt}, {streamChain({L":..\\..\\b.txt"}), all, std::nullopt}, {streamChain({L":"}), all, std::nullopt},
    };
    // clang-format on
    int row = 0;
    for (const auto& [chain, held, names] : cases) {
        EXPECT_EQ(win32::streamNamesIn(chain.data(), std::min(held, chain.size())), names) << row++;
    }
}

// Long paths get the prefix the W functions need past MAX_PATH, normalised first; others stay.
// The program's folder gets its plain form back where it fits. A copy to another volume builds
// longer paths than the entry's own: all get that form.
TEST(Win32PlatformServices, LongPathsGetTheExtendedFormAndTheProgramFolderItsPlainOne)
{
    const Text name(300, L'n');
    // clang-format off
    const std::tuple<Text (*)(const Text&), Text, Text> cases[] = {
        {win32::extendedLengthPath, L"C:/a/../" + name, L"\\\\?\\C:\\" + name}, {win32::extendedLengthPath, L"\\\\server\\share\\" + name, L"\\\\?\\UNC\\server\\share\\" + name},
        {win32::extendedLengthPath, L"\\\\?\\C:\\" + name, L"\\\\?\\C:\\" + name}, {win32::extendedLengthPath, L"a\\" + name, L"a\\" + name},
        {win32::extendedLengthPath, L"C:\\short", L"C:\\short"}, {win32::directoryOfModulePath, L"\\\\?\\Q:\\a.exe", L"Q:\\"},
        {win32::directoryOfModulePath, L"\\\\?\\UNC\\s\\d\\a.exe", L"\\\\s\\d"}, {win32::directoryOfModulePath, L"\\\\?\\C:\\" + name + L"\\a.exe", L"\\\\?\\C:\\" + name},
    };
    // clang-format on
    for (const auto& [function, path, expected] : cases) {
        EXPECT_EQ(function(path), expected);
    }
    const Text share = L"\\\\server\\share\\out\\a.txt";
    const win32::CopyPaths paths = *win32::copyPaths(L"C:\\in\\..\\a.txt", share);
    const Text folder = L"\\\\?\\UNC\\server\\share\\out\\~fenrallo-";
    EXPECT_EQ(
        std::tuple(paths.source, paths.destination, paths.temporary.substr(0, folder.size()),
                   paths.temporary.substr(paths.temporary.size() - 4)),
        std::tuple(L"\\\\?\\C:\\a.txt", L"\\\\?\\UNC\\server\\share\\out\\a.txt", folder, L".tmp"));
    EXPECT_NE(win32::copyPaths(L"C:\\a.txt", share)->temporary, paths.temporary);
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
            std::generate_n(std::back_inserter(path), 1 + below(40),
                            [&] { return letters[below(wide ? letters.size() : 9)]; });
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

TEST(HandOver, TheCommandLineSplitsAsTheShellsAndOnlyAWellFormedBlockGivesPaths)
{
    const Text here = scratchFolder();
    SetCurrentDirectoryW(here.c_str());
    // clang-format off
    const std::pair<Text, TextList> lines[] = {
        {L"\"C:\\a b\\F.exe\" x \"y z\" \"\" R:\\1\\..\\2 \"源 文件\" Q:v", {here + L"\\x", here + L"\\y z", L"R:\\2", here + L"\\源 文件", here + L"\\v"}},
        {L"F.exe", {}}, {L"F \"\"", {}}, {L"", {}}};
    // clang-format on
    for (const auto& [line, paths] : lines) {
        EXPECT_EQ(win32::commandLinePaths(line.c_str()), paths) << testing::PrintToString(line);
    }
    SetCurrentDirectoryW(L"Q:\\");
    const auto read = [](const Text& block, ULONG_PTR tag = win32::kHandOverTag, int less = 0) {
        const DWORD bytes = static_cast<DWORD>(block.size() * 2 - static_cast<std::size_t>(less));
        return win32::handedOverPaths({tag, bytes, const_cast<wchar_t*>(block.data())});
    };
    // Paths made full may need more than one block; each fits, and together they give them all.
    const TextList many = {Text(20000, L'a'), Text(12765, L'b'), Text(1, L'c'), Text(32766, L'd')};
    TextList back;
    for (const Text& block : win32::handOverBlocks(many)) {
        const std::optional<TextList> paths = read(block);
        ASSERT_TRUE(paths.has_value()) << block.size();
        back.insert(back.end(), paths->begin(), paths->end());
    }
    EXPECT_EQ(back, (TextList{many[0], many[1], many[2]}));
    EXPECT_EQ(win32::handOverBlocks({}), TextList{Text(1, L'\0')});
    using namespace std::literals;
    const Text longest = Text(32765, L'p') + L"\0\0"s;
    // clang-format off
    const std::tuple<Text, ULONG_PTR, int, std::optional<TextList>> blocks[] = {
        {L"a\0源 b\0\0"s, win32::kHandOverTag, 0, TextList{L"a", L"源 b"}}, {L"\0"s, win32::kHandOverTag, 0, TextList{}},
        {longest, win32::kHandOverTag, 0, TextList{Text(32765, L'p')}}, {L"p"s + longest, win32::kHandOverTag, 0, std::nullopt},
        {L"a\0\0"s, win32::kHandOverTag + 1, 0, std::nullopt}, {L"a\0\0"s, win32::kHandOverTag, 1, std::nullopt},
        {L"a\0\0"s, win32::kHandOverTag, 2, std::nullopt}, {L"a\0b"s, win32::kHandOverTag, 0, std::nullopt},
        {L"a\0\0b\0\0"s, win32::kHandOverTag, 0, std::nullopt}, {L"\0\0"s, win32::kHandOverTag, 0, std::nullopt},
        {L""s, win32::kHandOverTag, 0, std::nullopt}};
    // clang-format on
    for (const auto& [block, tag, less, paths] : blocks) {
        EXPECT_EQ(read(block, tag, less), paths) << testing::PrintToString(block.substr(0, 9));
    }
    EXPECT_EQ(win32::handedOverPaths({win32::kHandOverTag, 4, nullptr}), std::nullopt);
}

}  // namespace
}  // namespace fenrallo::test
