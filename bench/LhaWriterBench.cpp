// The archive writer against zlib's deflate at level 6 on the same data:
// the logo payload of a 640x480 8-bit bitmap and a 1 MiB mixed corpus.
// The writer runs as the logo build runs it, file to file; deflate runs from
// memory to memory.  Each benchmark reports its packed size in per cent.
// Run it with TMPDIR=/dev/shm to keep the disk's write-back out of the
// wall-clock times (the CPU times are the same either way).
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <string>

#include "lha/LhaWriter.h"
#include "tests/lha/LhaCorpus.h"
#include "tests/support/TempDir.h"

namespace varlin {
namespace {

class SilentSink final : public LhaProgressSink {
public:
    void WriteOutput(std::string_view) override {}
    void WriteError(std::string_view) override {}
};

const Bytes& BitmapPayload()
{
    static const Bytes payload = test::LogoPayload(640, 480);
    return payload;
}

const Bytes& MixedCorpus()
{
    static const Bytes corpus = test::MixedCorpus(1 << 20);
    return corpus;
}

void ReportSizes(benchmark::State& state, size_t original, size_t packed)
{
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(original));
    state.counters["packed_%"] = 100.0 * static_cast<double>(packed) / static_cast<double>(original);
}

void BM_LhaWriteArchive(benchmark::State& state, const Bytes& (*data)())
{
    const Bytes& input = data();
    test::TempDir dir;
    const std::string inputFile = dir.Write("tmp.tbp", input);
    const std::string archive = dir.File("tmp_b_pic");
    SilentSink sink;
    LhaWriter writer(sink);
    for (auto _ : state) {
        std::string inputPath = inputFile;
        writer.LhaResetState();
        if (!writer.LhaWriteArchive(inputPath, archive, "logo.bmp")) state.SkipWithError("writer failed");
    }
    ReportSizes(state, input.size(), test::ReadFile(archive).size());
}

void BM_ZlibDeflate6(benchmark::State& state, const Bytes& (*data)())
{
    const Bytes& input = data();
    Bytes output(compressBound(static_cast<uLong>(input.size())));
    uLongf packed = 0;
    for (auto _ : state) {
        packed = static_cast<uLongf>(output.size());
        if (compress2(output.data(), &packed, input.data(), static_cast<uLong>(input.size()), 6) != Z_OK) {
            state.SkipWithError("deflate failed");
        }
        benchmark::DoNotOptimize(output.data());
    }
    ReportSizes(state, input.size(), packed);
}

BENCHMARK_CAPTURE(BM_LhaWriteArchive, BitmapPayload640x480, BitmapPayload)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ZlibDeflate6, BitmapPayload640x480, BitmapPayload)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LhaWriteArchive, MixedCorpus1MiB, MixedCorpus)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ZlibDeflate6, MixedCorpus1MiB, MixedCorpus)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace varlin

BENCHMARK_MAIN();
