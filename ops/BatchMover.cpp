// The log reports moves that succeeded, not attempts: a batch that moves nothing must not read
// as if it had moved everything.
#include "ops/BatchMover.h"

#include <utility>

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

bool BatchMover::undoLastBatch()
{
    if (!canUndo()) {
        return false;
    }
    // The last moved goes back first: a file taken out of a folder that moved after it can go
    // back only once that folder is back.
    MoveList back;
    back.reserve(record_.size());
    for (auto move = record_.rbegin(); move != record_.rend(); ++move) {
        back.push_back({std::move(move->to), std::move(move->from)});
    }
    record_ = MoveList();
    run(std::move(back), true);
    return true;
}

void BatchMover::start(const Text& directory)
{
    const int total = sources_.count();
    MoveList moves;
    moves.reserve(static_cast<std::size_t>(total));
    for (int i = 0; i < total; ++i) {
        Text entry = sources_.entryAt(i);
        Text destination = directory + L'\\' + lastPathComponent(entry);
        moves.push_back({std::move(entry), std::move(destination)});
    }
    run(std::move(moves), false);
}

void BatchMover::run(MoveList moves, bool undo)
{
    moved_.clear();
    // The work runs on the worker thread and touches nothing but the platform's moves and
    // moved_, which the user-interface thread leaves alone until the batch has ended.
    PlatformServices& platform = platform_;
    MoveList& succeeded = moved_;
    runner_.run(
        [&platform, &succeeded, moves = std::move(moves)](BatchProgress& progress) mutable {
            const int total = static_cast<int>(moves.size());
            for (int i = 0; i < total && !progress.stop(); ++i) {
                Move& move = moves[static_cast<std::size_t>(i)];
                if (platform.MoveWithoutReplace(move.from, move.to, progress.stop()).moved) {
                    succeeded.push_back(std::move(move));
                }
                progress.advance(i + 1, static_cast<int>(succeeded.size()), total);
            }
            return static_cast<int>(succeeded.size());
        },
        [this, undo](int moved) { finish(undo, moved); });
}

void BatchMover::finish(bool undo, int moved)
{
    // A batch's entries are the paths it moved from; an undo's, the paths it moved back to.
    TextSet entries;
    entries.reserve(moved_.size());
    for (const Move& move : moved_) {
        entries.insert(undo ? move.to : move.from);
    }
    sources_.setMoved(entries, !undo);
    // An undo emptied the record as it began.
    if (!undo) {
        record_ = std::move(moved_);
    }
    moved_ = MoveList();
    log_.setRed();
    log_.appendMoved(moved);
}

void BatchMover::reportMissingSource()
{
    platform_.ShowWarning(L"原始文件未找到!", kErrorTitle);
}

}  // namespace fenrallo
