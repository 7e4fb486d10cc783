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
        back.push_back(
            {std::move(move->to), std::move(move->from), move->identity, move->position});
    }
    record_ = MoveList();
    run(std::move(back), true, recordRevision_);
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
        moves.push_back({std::move(entry), std::move(destination), {}, i});
    }
    run(std::move(moves), false, sources_.revision());
}

void BatchMover::run(MoveList moves, bool undo, std::uint64_t revision)
{
    batch_ = std::move(moves);
    batchRevision_ = revision;
    // Sized at once: the worker writes each outcome in place while this thread reads the ones
    // it was told of.
    outcomes_.assign(batch_.size(), MoveOutcome{});
    tried_ = 0;
    marked_ = 0;
    PlatformServices& platform = platform_;
    runner_.run(
        [&platform, &moves = batch_, &outcomes = outcomes_, &tried = tried_,
         undo](BatchProgress& progress) {
            const int total = static_cast<int>(moves.size());
            int moved = 0;
            for (int i = 0; i < total && !progress.stop(); ++i) {
                const auto at = static_cast<std::size_t>(i);
                const Move& move = moves[at];
                outcomes[at] =
                    undo ? platform.MoveBackWithoutReplace(move.from, move.to, move.identity,
                                                           progress.stop())
                         : platform.MoveWithoutReplace(move.from, move.to, progress.stop());
                moved += outcomes[at].moved ? 1 : 0;
                tried = i + 1;
                progress.advance(i + 1, moved, total);
            }
            return moved;
        },
        [this, undo](int moved) { finish(undo, moved); },
        [this, undo](int tried) { mark(undo, tried, false); });
}

void BatchMover::mark(bool undo, int tried, bool end)
{
    // Where entries came or went since the click, positions no longer hold: every entry is then
    // found by its text, in one pass over the list at the end rather than one per progress.
    if (!end && sources_.revision() != batchRevision_) {
        return;
    }
    // A batch's entries are the paths it moved from; an undo's, the paths it moved back to. An
    // entry the undo could not move back stays marked as moved, with why it is still there.
    std::vector<MarkUpdate> updates;
    updates.reserve(static_cast<std::size_t>(tried - marked_));
    for (auto i = static_cast<std::size_t>(marked_); i < static_cast<std::size_t>(tried); ++i) {
        const MoveOutcome& outcome = outcomes_[i];
        const Move& move = batch_[i];
        if (!undo) {
            updates.push_back({&move.from, move.position,
                               outcome.moved
                                   ? EntryMark{EntryMark::State::Moved, 0}
                                   : EntryMark{EntryMark::State::Stayed, outcome.reason}});
        } else {
            updates.push_back(
                {&move.to, move.position,
                 outcome.moved ? EntryMark{} : EntryMark{EntryMark::State::Moved, outcome.reason}});
        }
    }
    marked_ = tried;
    sources_.setMarks(updates, batchRevision_);
}

void BatchMover::finish(bool undo, int moved)
{
    mark(undo, tried_, true);
    // An undo emptied the record as it began.
    if (!undo) {
        record_.clear();
        record_.reserve(static_cast<std::size_t>(moved));
        for (std::size_t i = 0; i < static_cast<std::size_t>(tried_); ++i) {
            if (outcomes_[i].moved) {
                record_.push_back(std::move(batch_[i]));
                record_.back().identity = outcomes_[i].identity;
            }
        }
        recordRevision_ = batchRevision_;
    }
    batch_ = MoveList();
    outcomes_ = std::vector<MoveOutcome>();
    log_.setRed();
    log_.appendMoved(moved);
}

void BatchMover::reportMissingSource()
{
    platform_.ShowWarning(L"原始文件未找到!", kErrorTitle);
}

}  // namespace fenrallo
