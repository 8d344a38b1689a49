// The main jobs as users run them, the whole process from start to exit,
// timed on the wall clock: `varlin pack` of a 640x480 8-bit bitmap and
// `varlin build` of it into a 256 KiB image.  Report the median of the
// repetitions; `peak_KiB` is the largest resident size a run reached.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <string>
#include <vector>

#include "tests/lha/LhaCorpus.h"
#include "tests/support/RunCommand.h"
#include "tests/support/TempDir.h"

namespace varlin {
namespace {

// A logo with bands, a disc and some noise, as a bitmap file.
std::string WritePicture(const test::TempDir& dir)
{
    Bytes bitmap = test::LogoPayload(640, 480);
    bitmap[0] = 'B';
    bitmap[1] = 'M';
    return dir.Write("logo.bmp", bitmap);
}

void RunEachIteration(benchmark::State& state, const std::vector<std::string>& arguments)
{
    for (auto _ : state) {
        const test::CommandResult result = test::RunVarlin(arguments);
        if (result.exitCode != 0) {
            state.SkipWithError(("varlin " + arguments[0] + " failed: " + result.err).c_str());
            break;
        }
    }
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);  // the largest of all runs so far
    state.counters["peak_KiB"] = static_cast<double>(usage.ru_maxrss);
}

void BM_VarlinPack640x480(benchmark::State& state)
{
    test::TempDir dir;
    const std::string picture = WritePicture(dir);
    RunEachIteration(state, {"pack", picture, dir.File("logo.lzh")});
}
BENCHMARK(BM_VarlinPack640x480)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_VarlinBuild640x480Into256K(benchmark::State& state)
{
    test::TempDir dir;
    const std::string picture = WritePicture(dir);
    const std::string bios = VARLIN_SOURCE_DIR "/samples/bios/award-256k.bin";
    RunEachIteration(state, {"build", "--bios", bios, "--picture", picture, "--output", dir.File("out.bin")});
}
BENCHMARK(BM_VarlinBuild640x480Into256K)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace varlin

BENCHMARK_MAIN();
