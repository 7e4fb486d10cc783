// The command line is split by the shell's own rules, so quoted paths with spaces arrive as
// Explorer's Send To and a drop on the exe's icon quote them.
#include "platform/win32/HandOver.h"

#include <shellapi.h>

#include <string_view>

#include "platform/win32/UniqueHandle.h"
#include "platform/win32/Win32PlatformServices.h"

namespace fenrallo::win32 {

namespace {

void freeArguments(wchar_t** arguments)
{
    LocalFree(static_cast<HLOCAL>(arguments));
}

}  // namespace

TextList commandLinePaths(const wchar_t* commandLine)
{
    int count = 0;
    const UniqueHandle<wchar_t**, freeArguments> arguments(CommandLineToArgvW(commandLine, &count));
    TextList paths;
    for (int i = 1; arguments && i < count; ++i) {
        if (arguments.get()[i][0] != L'\0') {
            // What Windows cannot make full is handed on as it is, as a drop would list it.
            const Text argument = arguments.get()[i];
            paths.push_back(fullPathName(argument).value_or(argument));
        }
    }
    return paths;
}

TextList handOverBlocks(const TextList& paths)
{
    TextList blocks(1);
    for (const Text& path : paths) {
        // A path with its NUL and the list's NUL must fit an empty block.
        if (path.size() + 2 > kLongestHandOver) {
            continue;
        }
        if (blocks.back().size() + path.size() + 2 > kLongestHandOver) {
            blocks.back() += L'\0';
            blocks.emplace_back();
        }
        blocks.back().append(path).append(1, L'\0');
    }
    blocks.back() += L'\0';
    return blocks;
}

std::optional<TextList> handedOverPaths(const COPYDATASTRUCT& data)
{
    const std::size_t units = data.cbData / sizeof(wchar_t);
    if (data.dwData != kHandOverTag || data.lpData == nullptr || data.cbData % 2 != 0 ||
        units == 0 || units > kLongestHandOver) {
        return std::nullopt;
    }
    const std::wstring_view block(static_cast<const wchar_t*>(data.lpData), units);
    if (block.back() != L'\0') {
        return std::nullopt;
    }
    TextList paths;
    // Each path up to its NUL; the last NUL ends the list.
    for (std::size_t start = 0; start + 1 < units;) {
        const std::size_t end = block.find(L'\0', start);
        if (end == start || end == units - 1) {
            return std::nullopt;
        }
        paths.emplace_back(block.substr(start, end - start));
        start = end + 1;
    }
    return paths;
}

}  // namespace fenrallo::win32
