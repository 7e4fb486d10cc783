// The log reports moves that succeeded, not attempts: a batch that moves nothing must not read
// as if it had moved everything.
#include "ops/BatchMover.h"

namespace fenrallo {

namespace {

const wchar_t* const kErrorTitle = L"程序运行错误";

}  // namespace

Text lastPathComponent(const Text& path)
{
    const std::size_t separator = path.rfind(L'\\');
    return separator == Text::npos ? path : path.substr(separator + 1);
}

void BatchMover::moveToDefaultDirectory()
{
    if (runner_.busy()) {
        return;
    }
    if (sources_.count() == 0 || !platform_.IsOrdinaryFile(sources_.entryAt(0))) {
        reportMissingSource();
        return;
    }
    start(platform_.ProgramDirectory());
}

void BatchMover::moveToSpecifiedDirectory()
{
    if (runner_.busy()) {
        return;
    }
    if (sources_.count() == 0) {
        reportMissingSource();
        return;
    }
    // With no target the destinations would be "\name", the root of whatever drive is current:
    // never where the user meant.
    if (targets_.currentTarget().empty()) {
        platform_.ShowWarning(L"目标地址未指定!", kErrorTitle);
        return;
    }
    start(targets_.currentTarget());
}

void BatchMover::start(const Text& directory)
{
    const int total = sources_.count();
    TextList entries;
    entries.reserve(static_cast<std::size_t>(total));
    for (int i = 0; i < total; ++i) {
        entries.push_back(sources_.entryAt(i));
    }
    // The work runs on the worker thread and touches nothing but the platform's moves.
    PlatformServices& platform = platform_;
    runner_.run(
        [&platform, entries = std::move(entries), directory, total](BatchProgress& progress) {
            int moved = 0;
            for (int i = 0; i < total && !progress.stop(); ++i) {
                const Text& source = entries[static_cast<std::size_t>(i)];
                if (platform.MoveWithoutReplace(
                        source, directory + L'\\' + lastPathComponent(source), progress.stop())) {
                    ++moved;
                }
                progress.advance(i + 1, moved, total);
            }
            return moved;
        },
        [this](int moved) {
            log_.setRed();
            log_.appendMoved(moved);
        });
}

void BatchMover::reportMissingSource()
{
    platform_.ShowWarning(L"原始文件未找到!", kErrorTitle);
}

}  // namespace fenrallo
