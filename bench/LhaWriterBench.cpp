// The archive writer against zlib's deflate at level 6 on the same data:
// the logo payload of a 640x480 8-bit bitmap, a 1 MiB mixed corpus, and one
// input of every other kind the writer may meet (text, a program, a smooth
// noisy picture, a flat logo, random bytes, the sample BIOS images).  The
// writer runs as the logo build runs it, file to file; deflate runs from
// memory to memory.  Each writer benchmark reports its packed size in per
// cent and vs_zlib6, how many times faster than deflate-6 it was: each
// iteration also runs deflate-6 once, outside the timing, and the two are
// compared on the process's CPU clock.  The deflate-6 benchmarks give
// deflate's own speed.
// Run it with TMPDIR=/dev/shm to keep the disk's write-back out of the
// wall-clock times (the CPU times are the same either way).
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <ctime>
#include <string>

#include "lha/LhaWriter.h"
#include "tests/lha/LhaCorpus.h"
#include "tests/lha/LhaTestSupport.h"
#include "tests/support/TempDir.h"

namespace varlin {
namespace {

class SilentSink final : public LhaProgressSink {
public:
    void WriteOutput(std::string_view) override {}
    void WriteError(std::string_view) override {}
};

template <Bytes (*make)()>
const Bytes& Input()
{
    static const Bytes bytes = make();
    return bytes;
}

Bytes BitmapPayload() { return test::LogoPayload(640, 480); }
Bytes MixedCorpus() { return test::MixedCorpus(1 << 20); }
Bytes Text() { return test::EnglishLikeText(200000, 1); }
Bytes Program() { return test::ReadFile("/bin/ls"); }
Bytes PlasmaPayload() { return test::PlasmaPayload(640, 480); }
Bytes FlatLogoPayload() { return test::FlatLogoPayload(640, 480); }
Bytes Random() { return test::RandomBytes(300000, 1); }
Bytes SampleBios128K() { return test::ReadFile(VARLIN_SOURCE_DIR "/samples/bios/award-128k.bin"); }
Bytes SampleBios256K() { return test::ReadFile(VARLIN_SOURCE_DIR "/samples/bios/award-256k.bin"); }
Bytes SampleBios512K() { return test::ReadFile(VARLIN_SOURCE_DIR "/samples/bios/award-512k.bin"); }
Bytes SampleBios1M() { return test::ReadFile(VARLIN_SOURCE_DIR "/samples/bios/award-1m.bin"); }

double CpuSeconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

// Deflate at level 6 into `output`; the packed size.
uLongf Deflate6(const Bytes& input, Bytes& output)
{
    uLongf packed = static_cast<uLongf>(output.size());
    if (compress2(output.data(), &packed, input.data(), static_cast<uLong>(input.size()), 6) != Z_OK) return 0;
    return packed;
}

void ReportSizes(benchmark::State& state, size_t original, size_t packed)
{
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(original));
    state.counters["packed_%"] = 100.0 * static_cast<double>(packed) / static_cast<double>(original);
}

void BM_LhaWriteArchive(benchmark::State& state, const Bytes& (*data)())
{
    const Bytes& input = data();
    if (input.empty()) {
        state.SkipWithError("no input");
        return;
    }
    test::TempDir dir;
    const std::string inputFile = dir.Write("tmp.tbp", input);
    const std::string archive = dir.File("tmp_b_pic");
    SilentSink sink;
    LhaWriter writer(sink);
    Bytes deflated(compressBound(static_cast<uLong>(input.size())));
    double writerSeconds = 0;
    double deflateSeconds = 0;
    for (auto _ : state) {
        const double start = CpuSeconds();
        std::string inputPath = inputFile;
        writer.LhaResetState();
        if (!writer.LhaWriteArchive(inputPath, archive, "logo.bmp")) state.SkipWithError("writer failed");
        writerSeconds += CpuSeconds() - start;

        state.PauseTiming();
        const double deflateStart = CpuSeconds();
        benchmark::DoNotOptimize(Deflate6(input, deflated));
        deflateSeconds += CpuSeconds() - deflateStart;
        state.ResumeTiming();
    }
    ReportSizes(state, input.size(), test::ReadFile(archive).size());
    state.counters["vs_zlib6"] = writerSeconds > 0 ? deflateSeconds / writerSeconds : 0;
}

void BM_ZlibDeflate6(benchmark::State& state, const Bytes& (*data)())
{
    const Bytes& input = data();
    Bytes output(compressBound(static_cast<uLong>(input.size())));
    uLongf packed = 0;
    for (auto _ : state) {
        packed = Deflate6(input, output);
        if (packed == 0) state.SkipWithError("deflate failed");
        benchmark::DoNotOptimize(output.data());
    }
    ReportSizes(state, input.size(), packed);
}

#define VARLIN_LHA_BENCHMARKS(name)                                                          \
    BENCHMARK_CAPTURE(BM_LhaWriteArchive, name, Input<name>)->Unit(benchmark::kMillisecond); \
    BENCHMARK_CAPTURE(BM_ZlibDeflate6, name, Input<name>)->Unit(benchmark::kMillisecond)

VARLIN_LHA_BENCHMARKS(BitmapPayload);
VARLIN_LHA_BENCHMARKS(MixedCorpus);
VARLIN_LHA_BENCHMARKS(Text);
VARLIN_LHA_BENCHMARKS(Program);
VARLIN_LHA_BENCHMARKS(PlasmaPayload);
VARLIN_LHA_BENCHMARKS(FlatLogoPayload);
VARLIN_LHA_BENCHMARKS(Random);
VARLIN_LHA_BENCHMARKS(SampleBios128K);
VARLIN_LHA_BENCHMARKS(SampleBios256K);
VARLIN_LHA_BENCHMARKS(SampleBios512K);
VARLIN_LHA_BENCHMARKS(SampleBios1M);

}  // namespace
}  // namespace varlin

BENCHMARK_MAIN();
