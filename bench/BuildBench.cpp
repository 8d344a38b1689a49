// The main job as users run it: `varlin build` of a 640x480 8-bit bitmap
// into a 256 KiB image, the whole process from start to exit, timed on the
// wall clock.  Report the median of the repetitions.
#include <benchmark/benchmark.h>

#include <string>

#include "tests/lha/LhaCorpus.h"
#include "tests/support/RunCommand.h"
#include "tests/support/TempDir.h"

namespace varlin {
namespace {

void BM_VarlinBuild640x480Into256K(benchmark::State& state)
{
    test::TempDir dir;
    Bytes bitmap = test::LogoPayload(640, 480);  // a logo with bands, a disc and some noise
    bitmap[0] = 'B';
    bitmap[1] = 'M';
    const std::string picture = dir.Write("logo.bmp", bitmap);
    const std::string bios = VARLIN_SOURCE_DIR "/samples/bios/award-256k.bin";
    const std::string output = dir.File("out.bin");
    for (auto _ : state) {
        const test::CommandResult result =
            test::RunVarlin({"build", "--bios", bios, "--picture", picture, "--output", output});
        if (result.exitCode != 0) {
            state.SkipWithError(("varlin build failed: " + result.err).c_str());
            break;
        }
    }
}
BENCHMARK(BM_VarlinBuild640x480Into256K)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace varlin

BENCHMARK_MAIN();
