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
    if (sources_.count() == 0 || !platform_.IsOrdinaryFile(sources_.entryAt(0))) {
        reportMissingSource();
        return;
    }
    const int moved = moveAll([this] { return platform_.ProgramDirectory(); });
    log_.setRed();
    log_.appendMoved(moved);
}

void BatchMover::moveToSpecifiedDirectory()
{
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
    const int moved = moveAll([this] { return targets_.currentTarget(); });
    log_.setRed();
    log_.appendMoved(moved);
}

int BatchMover::moveAll(const std::function<Text()>& destination)
{
    const int total = sources_.count();
    int moved = 0;
    for (int i = 0; i < total; ++i) {
        const Text source = sources_.entryAt(i);
        if (platform_.MoveWithoutReplace(source,
                                         destination() + L'\\' + lastPathComponent(source))) {
            ++moved;
        }
    }
    return moved;
}

void BatchMover::reportMissingSource()
{
    platform_.ShowWarning(L"原始文件未找到!", kErrorTitle);
}

}  // namespace fenrallo
