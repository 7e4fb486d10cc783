// Where a copy to another volume spends its time. 200 files of 1 MiB go from the disk to R: (a
// tmpfs under tools/with-wine, where a flush costs nothing) and from R: onto the disk, where the
// flushes wait for it, through the program's own copy, each of its steps timed through the copy's
// gate, against a bare CopyFileW + DeleteFileW loop, which flushes nothing; then one file of 1 GiB
// both ways, in MB/s. Single runs spread widely under Wine: each figure is the median of several
// rounds, the two ways taking turns to go first. The moves are called directly, without the
// window and its worker, whose cost bench_batch_move shows.
#include <array>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "BenchCommon.h"
#include "platform/win32/FileMove.h"

using namespace fenrallo;
using win32::CopyStep;

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kFiles = 200;
constexpr std::size_t kSmall = 1 << 20;
constexpr std::size_t kLarge = std::size_t{1} << 30;
constexpr std::size_t kStepCount = static_cast<std::size_t>(CopyStep::DeleteSource) + 1;

// Before the first step, the rename tried first; then each step, from its gate to the next one.
const std::array<const char*, kStepCount + 1> kStepNames = {"rename tried first",
                                                            "check name, open, list streams",
                                                            "create copy, marked",
                                                            "reserve size",
                                                            "data",
                                                            "flush data",
                                                            "copy streams",
                                                            "attributes and times",
                                                            "unmark",
                                                            "rename into place",
                                                            "flush name, read identity",
                                                            "delete source"};

TextList makeFiles(const std::wstring& folder, int count, std::size_t bytes)
{
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::string chunk(std::min<std::size_t>(bytes, 1 << 20), 'x');
    TextList files;
    for (int i = 0; i < count; ++i) {
        files.push_back(folder + L"\\" + std::to_wstring(i) + L".bin");
        bench::Handle file(bench::openNewFile(files.back()));
        for (std::size_t done = 0; done < bytes; done += chunk.size()) {
            DWORD written = 0;
            WriteFile(file.get(), chunk.data(), static_cast<DWORD>(chunk.size()), &written,
                      nullptr);
        }
    }
    return files;
}

Text into(const std::wstring& folder, const Text& file)
{
    return folder + file.substr(file.rfind(L'\\'));
}

double bareMoves(const TextList& files, const std::wstring& to)
{
    CreateDirectoryW(to.c_str(), nullptr);
    return bench::timeOnce([&] {
        for (const Text& file : files) {
            if (!CopyFileW(file.c_str(), into(to, file).c_str(), TRUE) ||
                !DeleteFileW(file.c_str())) {
                std::printf("a bare move failed\n");
            }
        }
    });
}

// Moves `files` into `to` with the program's copy, adding the time of each step to `spent`.
double ownMoves(const TextList& files, const std::wstring& to,
                std::array<double, kStepCount + 1>& spent)
{
    CreateDirectoryW(to.c_str(), nullptr);
    std::size_t current = 0;
    Clock::time_point mark;
    const auto next = [&](std::size_t step) {
        const Clock::time_point now = Clock::now();
        spent[current] += std::chrono::duration<double>(now - mark).count();
        mark = now;
        current = step;
    };
    // As the program keeps it, batch after batch.
    win32::VolumeCrossings crossings;
    return bench::timeOnce([&] {
        for (const Text& file : files) {
            current = 0;
            mark = Clock::now();
            const bool moved = win32::moveWithoutReplace(
                                   file, into(to, file),
                                   [&](CopyStep step, std::uint64_t) {
                                       next(static_cast<std::size_t>(step) + 1);
                                       return true;
                                   },
                                   &crossings)
                                   .moved;
            next(0);
            if (!moved) {
                std::printf("a move failed\n");
            }
        }
    });
}

// Median seconds of the program's copy and of the bare loop over `rounds` rounds, each of `count`
// new files of `bytes`, the two taking turns to go first; the steps' times add up in `spent`.
// The moved files are deleted after each round, so the other volume's memory stays free.
std::pair<double, double> race(const std::wstring& from, const std::wstring& to, int rounds,
                               int count, std::size_t bytes,
                               std::array<double, kStepCount + 1>& spent)
{
    std::vector<double> own;
    std::vector<double> bare;
    for (int round = 0; round < rounds; ++round) {
        const std::wstring name = L"\\" + std::to_wstring(count) + L"-" + std::to_wstring(round);
        const TextList ownFiles = makeFiles(from + name + L"-own", count, bytes);
        const TextList bareFiles = makeFiles(from + name + L"-bare", count, bytes);
        for (int turn = 0; turn < 2; ++turn) {
            if ((turn + round) % 2 == 0) {
                own.push_back(ownMoves(ownFiles, to + name + L"-own", spent));
            } else {
                bare.push_back(bareMoves(bareFiles, to + name + L"-bare"));
            }
        }
        for (const TextList* files : {&ownFiles, &bareFiles}) {
            for (const Text& file : *files) {
                DeleteFileW(
                    into(to + name + (files == &ownFiles ? L"-own" : L"-bare"), file).c_str());
            }
        }
    }
    return {bench::median(own), bench::median(bare)};
}

}  // namespace

int wmain()
{
    const std::wstring work = bench::temporaryFolder(L"steps");
    const std::wstring other = L"R:\\fenrallo-steps-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(other.c_str(), nullptr);

    constexpr int kRounds = 5;
    using Steps = std::array<double, kStepCount + 1>;
    std::array<Steps, 2> spent{};
    const std::array<std::pair<std::wstring, std::wstring>, 2> ways = {std::pair{work, other},
                                                                       {other, work}};
    const std::array<const char*, 2> names = {"to R:", "from R: onto the disk"};
    for (std::size_t way = 0; way < 2; ++way) {
        const auto [own, bare] =
            race(ways[way].first, ways[way].second, kRounds, kFiles, kSmall, spent[way]);
        std::printf("%d files of 1 MiB %-22s per file %7.3f ms  bare %7.3f ms  ratio %5.2f\n",
                    kFiles, names[way], own * 1000 / kFiles, bare * 1000 / kFiles, own / bare);
    }
    std::printf("  %-30s %9s %16s\n", "step, ms a file (share)", names[0], names[1]);
    std::array<double, 2> total{};
    for (std::size_t way = 0; way < 2; ++way) {
        for (const double step : spent[way]) {
            total[way] += step;
        }
    }
    for (std::size_t i = 0; i < kStepCount + 1; ++i) {
        std::printf("  %-30s", kStepNames[i]);
        for (std::size_t way = 0; way < 2; ++way) {
            std::printf(" %7.3f (%4.1f %%)", spent[way][i] * 1000 / (kRounds * kFiles),
                        100 * spent[way][i] / total[way]);
        }
        std::printf("\n");
    }
    std::fflush(stdout);

    // Enough rounds for the median of one large file to hold still on a shared machine.
    constexpr int kLargeRounds = 5;
    for (std::size_t way = 0; way < 2; ++way) {
        Steps unused{};
        const auto [own, bare] =
            race(ways[way].first, ways[way].second, kLargeRounds, 1, kLarge, unused);
        std::printf("one file of 1 GiB %-22s %8.0f MB/s  bare %7.0f MB/s  ratio %5.2f\n",
                    names[way], 1024 / own, 1024 / bare, own / bare);
        std::fflush(stdout);
    }
    std::printf("(files left in %ls and %ls)\n", work.c_str(), other.c_str());
    return 0;
}
