// The main jobs as users run them, the whole process from start to exit,
// timed on the wall clock: `varlin pack` of a 640x480 8-bit bitmap,
// `varlin build` of it into a 256 KiB image, and into the images of stock
// boards (one whose logo is followed by members that move); and, of the
// build, the check the new image passes before it is written.  Report the median of the
// repetitions; `peak_KiB` is the largest resident size a run reached and
// `cpu_ms` the CPU time a process used, which load on the machine inflates
// far less than the wall clock.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <string>
#include <vector>

#include "award/AwardImage.h"
#include "logo/RebuildCheck.h"
#include "tests/lha/LhaCorpus.h"
#include "tests/support/RunCommand.h"
#include "tests/support/TempDir.h"

namespace varlin {
namespace {

// A logo with bands, a disc and some noise, as a bitmap file.
Bytes Picture()
{
    Bytes bitmap = test::LogoPayload(640, 480);
    bitmap[0] = 'B';
    bitmap[1] = 'M';
    return bitmap;
}

// The CPU time the finished child processes have used, in milliseconds.
double ChildrenCpuMilliseconds(const rusage& usage)
{
    const timeval& user = usage.ru_utime;
    const timeval& system = usage.ru_stime;
    return (user.tv_sec + system.tv_sec) * 1e3 + (user.tv_usec + system.tv_usec) / 1e3;
}

void RunEachIteration(benchmark::State& state, const std::vector<std::string>& arguments)
{
    rusage before{};
    getrusage(RUSAGE_CHILDREN, &before);
    for (auto _ : state) {
        const test::CommandResult result = test::RunVarlin(arguments);
        if (result.exitCode != 0) {
            state.SkipWithError(("varlin " + arguments[0] + " failed: " + result.err).c_str());
            break;
        }
    }
    rusage after{};
    getrusage(RUSAGE_CHILDREN, &after);
    state.counters["peak_KiB"] = static_cast<double>(after.ru_maxrss);  // the largest of all runs so far
    state.counters["cpu_ms"] = (ChildrenCpuMilliseconds(after) - ChildrenCpuMilliseconds(before)) /
                               static_cast<double>(std::max<benchmark::IterationCount>(state.iterations(), 1));
}

void BM_VarlinPack640x480(benchmark::State& state)
{
    test::TempDir dir;
    RunEachIteration(state, {"pack", dir.Write("logo.bmp", Picture()), dir.File("logo.lzh")});
}
BENCHMARK(BM_VarlinPack640x480)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_VarlinBuild640x480Into256K(benchmark::State& state)
{
    test::TempDir dir;
    const std::string bios = VARLIN_SOURCE_DIR "/samples/bios/award-256k.bin";
    RunEachIteration(state, {"build", "--bios", bios, "--picture", dir.Write("logo.bmp", Picture()), "--output",
                             dir.File("out.bin")});
}
BENCHMARK(BM_VarlinBuild640x480Into256K)->Unit(benchmark::kMillisecond)->UseRealTime();

// A stock board's build: the picture scaled and reduced to the board's
// 16 colours, into the logo's place; in the second image the logo is
// followed by two members, which move along.
void BM_VarlinStockBuild640x480(benchmark::State& state, const char* image)
{
    test::TempDir dir;
    RunEachIteration(state, {"build", "--bios", std::string(VARLIN_SOURCE_DIR "/samples/bios/") + image, "--picture",
                             dir.Write("logo.bmp", Picture()), "--output", dir.File("out.bin")});
}
BENCHMARK_CAPTURE(BM_VarlinStockBuild640x480, LogoLast, "award-256k-stock.bin")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_VarlinStockBuild640x480, MovingMembers, "award-256k-stock-split.bin")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_CheckRebuilt640x480Image(benchmark::State& state)
{
    test::TempDir dir;
    const Bytes payload = test::LogoPayload(640, 480);
    const std::string source = VARLIN_SOURCE_DIR "/samples/bios/award-256k.bin";
    const test::CommandResult built = test::RunVarlin(
        {"build", "--bios", source, "--picture", dir.Write("logo.bmp", Picture()), "--output", dir.File("out.bin")});
    const Bytes before = test::ReadFile(source);
    const Bytes after = test::ReadFile(dir.File("out.bin"));
    const AwardImage layout = ReadAwardImage(before);
    const int64_t logo = layout.FindMember(kLogoLoadSegment);
    RunSlot slot;
    if (built.exitCode != 0 || FindRunSlot(layout, logo, slot) != SlotVerdict::Ok) {
        state.SkipWithError(("varlin build failed: " + built.err).c_str());
        return;
    }
    const AwardImage newLayout = ReadAwardImage(after);
    const ImageMember& newLogo = newLayout.members[static_cast<size_t>(newLayout.FindMember(kLogoLoadSegment))];
    const auto archiveStart = after.begin() + static_cast<std::ptrdiff_t>(newLogo.offset);
    const Bytes archive(archiveStart, archiveStart + static_cast<std::ptrdiff_t>(newLogo.header.ArchiveLength()));
    const RebuiltMember rebuilt = {slot, archive, payload};
    for (auto _ : state) {
        const std::string problem = CheckRebuiltImage(before, after, rebuilt);
        if (!problem.empty()) {
            state.SkipWithError(problem.c_str());
            break;
        }
    }
}
BENCHMARK(BM_CheckRebuilt640x480Image)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace varlin

BENCHMARK_MAIN();
