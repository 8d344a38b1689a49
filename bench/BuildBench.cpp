// The main job as users run it: `varlin build` of a 640x480 8-bit bitmap
// into a 256 KiB image, the whole process from start to exit, timed on the
// wall clock; and, of that, the check the new image passes before it is
// written.  Report the median of the repetitions.
#include <benchmark/benchmark.h>

#include <string>

#include "logo/MemberChain.h"
#include "logo/RebuildCheck.h"
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

void BM_CheckRebuilt640x480Image(benchmark::State& state)
{
    test::TempDir dir;
    const Bytes payload = test::LogoPayload(640, 480);
    Bytes bitmap = payload;
    bitmap[0] = 'B';
    bitmap[1] = 'M';
    const std::string source = VARLIN_SOURCE_DIR "/samples/bios/award-256k.bin";
    const test::CommandResult built = test::RunVarlin(
        {"build", "--bios", source, "--picture", dir.Write("logo.bmp", bitmap), "--output", dir.File("out.bin")});
    const Bytes before = test::ReadFile(source);
    const Bytes after = test::ReadFile(dir.File("out.bin"));
    const MemberChain oldChain = WalkMemberChain(before);
    const MemberChain newChain = WalkMemberChain(after);
    if (built.exitCode != 0 || oldChain.end != ChainEnd::LogoLast || newChain.end != ChainEnd::LogoLast) {
        state.SkipWithError(("varlin build failed: " + built.err).c_str());
        return;
    }
    const ChainMember& logo = newChain.members.back();
    const auto archiveStart = after.begin() + static_cast<std::ptrdiff_t>(logo.offset);
    const Bytes archive(archiveStart, archiveStart + static_cast<std::ptrdiff_t>(logo.header.ArchiveLength()));
    const RebuiltLogo rebuilt = {logo.offset, oldChain.members.back().header.ArchiveLength(), archive, payload};
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
