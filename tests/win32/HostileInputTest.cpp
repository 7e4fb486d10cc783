// Hostile input against the real file system and the real list boxes: whatever the user lists
// or names as the target, no byte is lost, nothing is replaced, every file ends either at its
// source or at its destination, and the run log counts exactly the entries that moved.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>

#include "PlatformTestSupport.h"
#include "lists/SourceList.h"
#include "lists/TargetList.h"
#include "log/RunLog.h"
#include "ops/BatchMover.h"
#include "platform/win32/DroppedPaths.h"
#include "platform/win32/Win32PlatformServices.h"
#include "platform/win32/Win32Widgets.h"

namespace fenrallo::test {
namespace {

using win32::extendedLengthPath;

// The real services, except that the program directory is a folder the test chooses, so moves
// into it never touch the build tree, and warnings are recorded instead of shown modally.
class ChosenProgramDirectory final : public PlatformServices {
public:
    explicit ChosenProgramDirectory(Text directory) : directory_(std::move(directory)) {}

    Text ProgramDirectory() override { return directory_; }
    bool MoveWithoutReplace(const Text& from, const Text& to) override
    {
        return real_.MoveWithoutReplace(from, to);
    }
    bool IsOrdinaryFile(const Text& path) override { return real_.IsOrdinaryFile(path); }
    void LaunchFileManager(const Text&) override {}
    void ShowWarning(const Text& prompt, const Text&) override { warnings.push_back(prompt); }

    TextList warnings;

private:
    win32::Win32PlatformServices real_;
    Text directory_;
};

using Files = std::map<Text, std::string>;

// Every file below `folder`, with its contents.
void collect(const Text& folder, Files& files)
{
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW(extendedLengthPath(folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return;
    }
    const win32::UniqueHandle<HANDLE, FindClose> owner(search);
    do {
        const Text name = found.cFileName;
        if (name == L"." || name == L"..") {
            continue;
        }
        const Text path = (folder.back() == L'\\' ? folder : folder + L'\\') + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            collect(path, files);
        } else {
            files[path] = readFile(extendedLengthPath(path));
        }
    } while (FindNextFileW(search, &found));
}

Files snapshot(const TextList& roots)
{
    Files files;
    for (const Text& root : roots) {
        collect(root, files);
    }
    return files;
}

// The program's list boxes and run log, on a hidden window, with the components wired as the
// main window wires them.
struct Rig {
    explicit Rig(Text programDirectory) : platform(std::move(programDirectory)) {}

    OwnedWindow host{CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 600, 400, nullptr, nullptr,
                                     nullptr, nullptr)};
    HWND sourceWindow = CreateWindowExW(0, L"LISTBOX", L"", WS_CHILD | LBS_NOTIFY, 0, 0, 300, 200,
                                        host.get(), nullptr, nullptr, nullptr);
    HWND targetWindow = CreateWindowExW(0, L"LISTBOX", L"", WS_CHILD | LBS_NOTIFY, 0, 200, 300, 40,
                                        host.get(), nullptr, nullptr, nullptr);
    HWND logWindow =
        CreateWindowExW(0, L"EDIT", L"程序运行信息：", WS_CHILD | ES_MULTILINE | ES_READONLY, 0,
                        240, 300, 50, host.get(), nullptr, nullptr, nullptr);
    win32::Win32ListBox sourceBox{sourceWindow};
    win32::Win32ListBox targetBox{targetWindow};
    win32::Win32TextBox logBox{logWindow, RunLog::kRed};
    ChosenProgramDirectory platform;
    RunLog log{logBox};
    SourceList sources{sourceBox, log};
    TargetList targets{targetBox};
    BatchMover mover{platform, sources, targets, log};

    // Through a real HDROP, read as the window reads a WM_DROPFILES.
    static TextList throughDrop(const TextList& paths)
    {
        const win32::DropHandle drop(makeDrop(paths));
        return win32::droppedPaths(drop.get());
    }
    void dropSources(const TextList& paths) { sources.onDrop(throughDrop(paths)); }
    void dropTarget(const Text& path) { targets.onDrop(throughDrop({path})); }
};

enum class Command { ToProgramDirectory, ToTarget };

struct Scenario {
    TextList drop;  // dropped onto the source list
    Text target;    // dropped onto the target list unless empty
    Text programDirectory;
    Command command = Command::ToTarget;
    TextList watched;  // folders whose every file is read before and after; the case's own
                       // scratch folder unless set
    std::function<std::shared_ptr<void>()> beforeClick;  // its result lives through the click
    int expectedMoved = -1;  // -1: as the platform decides, as long as the rest holds
    Text expectedWarning;
    TextList cleanUp;  // files a case put outside its scratch folder
};

Scenario toTarget(TextList drop, Text target, int expectedMoved = -1)
{
    Scenario s;
    s.drop = std::move(drop);
    s.target = std::move(target);
    s.expectedMoved = expectedMoved;
    return s;
}

Scenario toProgramDirectory(TextList drop, Text directory, int expectedMoved = -1)
{
    Scenario s = toTarget(std::move(drop), Text(), expectedMoved);
    s.programDirectory = std::move(directory);
    s.command = Command::ToProgramDirectory;
    return s;
}

struct Case {
    const char* name;
    std::function<Scenario(const Text& scratch)> make;
};

Text destinationOf(const Text& entry, const Scenario& s)
{
    const Text directory = s.command == Command::ToTarget ? s.target : s.programDirectory;
    return directory + L"\\" + lastPathComponent(entry);
}

// The most specific entry of `listed` that `file` is, or lies inside.
std::optional<Text> owningEntry(const Text& file, const TextList& listed)
{
    std::optional<Text> owner;
    for (const Text& entry : listed) {
        const bool inside =
            file == entry ||
            (file.size() > entry.size() && file.compare(0, entry.size(), entry) == 0 &&
             (entry.back() == L'\\' || file[entry.size()] == L'\\'));
        if (inside && (!owner || entry.size() > owner->size())) {
            owner = entry;
        }
    }
    return owner;
}

// "Q:\\\\a.txt", a destination under a drive root, names the file the file system lists as
// "Q:\\a.txt".
Text withSingleSeparators(Text path)
{
    for (std::size_t at = path.find(L"\\\\", 1); at != Text::npos; at = path.find(L"\\\\", at)) {
        path.erase(at, 1);
    }
    return path;
}

void runScenario(const char* name, Scenario s)
{
    SCOPED_TRACE(name);
    Rig rig(s.programDirectory);
    rig.dropSources(s.drop);
    if (!s.target.empty()) {
        rig.dropTarget(s.target);
    }
    TextList listed;
    for (int i = 0; i < rig.sources.count(); ++i) {
        listed.push_back(rig.sources.entryAt(i));
    }
    const std::shared_ptr<void> keep = s.beforeClick ? s.beforeClick() : nullptr;
    std::map<Text, bool> sourceExisted;
    for (const Text& entry : listed) {
        sourceExisted[entry] = exists(entry);
    }
    const auto before = snapshot(s.watched);
    const Text logBefore = rig.logBox.text();

    s.command == Command::ToTarget ? rig.mover.moveToSpecifiedDirectory()
                                   : rig.mover.moveToDefaultDirectory();
    const auto after = snapshot(s.watched);

    // Each entry either moved whole (gone from its source, present at its destination) or
    // stayed; an entry that was not there to begin with cannot have moved.
    int moved = 0;
    for (const Text& entry : listed) {
        if (sourceExisted[entry] && !exists(entry) && exists(destinationOf(entry, s))) {
            ++moved;
        }
    }

    // Every file is where the outcome of its entry says, with its bytes; nothing else appeared.
    std::size_t accounted = 0;
    for (const auto& [file, bytes] : before) {
        // Every case writes some bytes into each file: an empty read is a snapshot that failed.
        ASSERT_FALSE(bytes.empty()) << "unreadable: " << testing::PrintToString(file);
        const std::optional<Text> entry = owningEntry(file, listed);
        const bool entryMoved = entry && sourceExisted[*entry] && !exists(*entry);
        const Text expectedPath =
            entryMoved ? destinationOf(*entry, s) + file.substr(entry->size()) : file;
        const auto now = after.find(withSingleSeparators(expectedPath));
        ASSERT_NE(now, after.end()) << "lost: " << testing::PrintToString(file);
        EXPECT_EQ(now->second, bytes) << "changed: " << testing::PrintToString(file);
        ++accounted;
    }
    EXPECT_EQ(after.size(), accounted) << "files appeared or were duplicated";

    const Text logAfter = rig.logBox.text();
    if (s.expectedWarning.empty()) {
        EXPECT_TRUE(rig.platform.warnings.empty());
        EXPECT_EQ(logAfter, logBefore + L"本次共移动" + std::to_wstring(moved) + L"个文件");
    } else {
        EXPECT_EQ(rig.platform.warnings, TextList{s.expectedWarning});
        EXPECT_EQ(logAfter, logBefore);
        EXPECT_EQ(moved, 0);
    }
    if (s.expectedMoved >= 0) {
        EXPECT_EQ(moved, s.expectedMoved);
    }
    for (const Text& path : s.cleanUp) {
        SetFileAttributesW(extendedLengthPath(path).c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(extendedLengthPath(path).c_str());
    }
}

const Text kUnique = std::to_wstring(GetCurrentProcessId());

const Case kCases[] = {
    {"names outside the ANSI code page",
     [](const Text& d) {
         makeFolder(d + L"\\in");
         makeFolder(d + L"\\out");
         const TextList names{L"文件 一.txt", L"😀 emoji.txt", L"ไทย ❄ 한국어.bin"};
         TextList drop;
         for (const Text& n : names) {
             makeFile(d + L"\\in\\" + n, "bytes of " + std::to_string(n.size()));
             drop.push_back(d + L"\\in\\" + n);
         }
         return toTarget(drop, d + L"\\out", 3);
     }},
    {"source and destination longer than MAX_PATH",
     [](const Text& d) {
         const Text from = deepFolder(d + L"\\src");
         const Text to = deepFolder(d + L"\\dst");
         makeFile(from + L"\\long.txt", "long");
         return toTarget({from + L"\\long.txt"}, to, 1);
     }},
    {"a drive root in the list",
     [](const Text& d) {
         makeFolder(d + L"\\out");
         makeFile(d + L"\\a.txt", "a");
         return toTarget({L"Q:\\", d + L"\\a.txt"}, d + L"\\out", 1);
     }},
    {"a drive root as the target",
     [](const Text& d) {
         makeFile(d + L"\\root-" + kUnique + L".txt", "to the root");
         Scenario s = toTarget({d + L"\\root-" + kUnique + L".txt"}, L"Q:\\", 1);
         s.watched = {L"Q:\\"};
         s.cleanUp = {L"Q:\\root-" + kUnique + L".txt"};
         return s;
     }},
    {"the program directory at a drive root",
     [](const Text& d) {
         makeFile(d + L"\\prog-" + kUnique + L".txt", "to the root");
         Scenario s = toProgramDirectory({d + L"\\prog-" + kUnique + L".txt"}, L"Q:\\", 1);
         s.watched = {L"Q:\\"};
         s.cleanUp = {L"Q:\\prog-" + kUnique + L".txt"};
         return s;
     }},
    {"a target that is a file",
     [](const Text& d) {
         makeFile(d + L"\\target.txt", "i am a file");
         makeFile(d + L"\\a.txt", "a");
         return toTarget({d + L"\\a.txt"}, d + L"\\target.txt", 0);
     }},
    {"a target that does not exist",
     [](const Text& d) {
         makeFile(d + L"\\a.txt", "a");
         return toTarget({d + L"\\a.txt"}, d + L"\\missing", 0);
     }},
    {"a source held open without delete sharing",
     [](const Text& d) {
         makeFolder(d + L"\\out");
         makeFile(d + L"\\open.txt", "held open");
         makeFile(d + L"\\free.txt", "free");
         Scenario s = toTarget({d + L"\\open.txt", d + L"\\free.txt"}, d + L"\\out");
         const Text held = d + L"\\open.txt";
         s.beforeClick = [held] {
             return std::shared_ptr<void>(CreateFileW(held.c_str(), GENERIC_READ, FILE_SHARE_READ,
                                                      nullptr, OPEN_EXISTING, 0, nullptr),
                                          CloseHandle);
         };
         return s;
     }},
    {"an existing file at the destination",
     [](const Text& d) {
         makeFolder(d + L"\\out");
         makeFile(d + L"\\out\\a.txt", "already there");
         makeFile(d + L"\\a.txt", "newcomer");
         makeFile(d + L"\\b.txt", "b");
         return toTarget({d + L"\\a.txt", d + L"\\b.txt"}, d + L"\\out", 1);
     }},
    {"a hidden first entry",
     [](const Text& d) {
         makeFile(d + L"\\hidden.txt", "h", FILE_ATTRIBUTE_HIDDEN);
         makeFile(d + L"\\b.txt", "b");
         makeFolder(d + L"\\prog");
         Scenario s = toProgramDirectory({d + L"\\hidden.txt", d + L"\\b.txt"}, d + L"\\prog");
         s.expectedWarning = L"原始文件未找到!";
         return s;
     }},
    {"a system first entry",
     [](const Text& d) {
         makeFile(d + L"\\system.txt", "s", FILE_ATTRIBUTE_SYSTEM);
         makeFolder(d + L"\\prog");
         Scenario s = toProgramDirectory({d + L"\\system.txt"}, d + L"\\prog");
         s.expectedWarning = L"原始文件未找到!";
         return s;
     }},
    {"a read-only first entry",
     [](const Text& d) {
         makeFile(d + L"\\readonly.txt", "r", FILE_ATTRIBUTE_READONLY);
         makeFolder(d + L"\\prog");
         Scenario s = toProgramDirectory({d + L"\\readonly.txt"}, d + L"\\prog", 1);
         s.cleanUp = {d + L"\\prog\\readonly.txt"};
         return s;
     }},
    {"a folder within its volume",
     [](const Text& d) {
         makeFolder(d + L"\\dir");
         makeFolder(d + L"\\dir\\sub");
         makeFile(d + L"\\dir\\one.txt", "1");
         makeFile(d + L"\\dir\\sub\\two.txt", "2");
         makeFolder(d + L"\\out");
         return toTarget({d + L"\\dir"}, d + L"\\out", 1);
     }},
    {"a folder moved into itself",
     [](const Text& d) {
         makeFolder(d + L"\\dir");
         makeFolder(d + L"\\dir\\sub");
         makeFile(d + L"\\dir\\one.txt", "1");
         return toTarget({d + L"\\dir"}, d + L"\\dir\\sub", 0);
     }},
    {"a source that vanished after the drop",
     [](const Text& d) {
         makeFolder(d + L"\\out");
         makeFile(d + L"\\gone.txt", "g");
         makeFile(d + L"\\kept.txt", "k");
         Scenario s = toTarget({d + L"\\gone.txt", d + L"\\kept.txt"}, d + L"\\out", 1);
         const Text gone = d + L"\\gone.txt";
         s.beforeClick = [gone] {
             DeleteFileW(gone.c_str());
             return std::shared_ptr<void>();
         };
         return s;
     }},
    {"the same path twice in one drop",
     [](const Text& d) {
         makeFolder(d + L"\\out");
         makeFile(d + L"\\a.txt", "a");
         makeFile(d + L"\\b.txt", "b");
         return toTarget({d + L"\\a.txt", d + L"\\a.txt", d + L"\\b.txt"}, d + L"\\out", 2);
     }},
};

TEST(HostileInput, NothingIsLostReplacedOrMiscounted)
{
    ASSERT_TRUE(haveScratchDrive()) << "run under tools/with-wine, which maps Q:";
    for (const Case& c : kCases) {
        ScratchDir scratch;
        Scenario s = c.make(scratch.text());
        if (s.watched.empty()) {
            s.watched = {scratch.text()};
        }
        runScenario(c.name, s);
    }
}

TEST(HostileInput, FoldersDoNotCrossVolumesButFilesDo)
{
    ASSERT_TRUE(haveOtherVolume()) << "run under tools/with-wine, which maps R: elsewhere";
    ScratchDir here;
    ScratchDir there(L"R:\\");
    const Text from = there.text();
    const Text to = here.text();
    makeFolder(from + L"\\dir");
    makeFile(from + L"\\dir\\inside.txt", "inside");
    makeFile(from + L"\\file.txt", "file");
    Scenario s = toTarget({from + L"\\dir", from + L"\\file.txt"}, to);
    s.watched = {from, to};
    s.expectedMoved = 1;
    runScenario("across volumes", s);
    EXPECT_TRUE(exists(to + L"\\file.txt"));
    EXPECT_TRUE(exists(from + L"\\dir\\inside.txt"));
}

TEST(HostileInput, FortyThousandPathsAreCountedPastSixteenBits)
{
    ScratchDir scratch;
    const Text d = scratch.text();
    makeFolder(d + L"\\out");
    makeFile(d + L"\\real.txt", "real");
    TextList drop{d + L"\\real.txt"};
    for (int i = 0; i < 40000; ++i) {
        drop.push_back(d + L"\\never-made\\" + std::to_wstring(i) + L".txt");
    }
    Rig rig(d);
    rig.dropSources(drop);
    EXPECT_EQ(rig.sources.count(), 40001);
    EXPECT_EQ(rig.logBox.text(), L"以下为任务执行信息：\r\n\r\n当前共接收 40001 个文件");
    EXPECT_EQ(rig.sources.entryAt(40000), d + L"\\never-made\\39999.txt");
    rig.dropTarget(d + L"\\out");
    rig.mover.moveToSpecifiedDirectory();
    EXPECT_EQ(rig.logBox.text(),
              L"以下为任务执行信息：\r\n\r\n当前共接收 40001 个文件本次共移动1个文件");
    EXPECT_TRUE(exists(d + L"\\out\\real.txt"));
}

}  // namespace
}  // namespace fenrallo::test
