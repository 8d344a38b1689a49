// The whole update of a 512 KiB board (SST 39VF040, DMI, PNP, Main and Boot
// regions of 64 KiB blocks) on the emulated board, through the driver and
// through the SMI directly: erase, program and read-back of every region.
// Each benchmark reports the requests one update sends to the board.
// The emulated board writes every change through to its rom.bin; run it with
// TMPDIR=/dev/shm to keep the disk out of the wall-clock times.
#include <benchmark/benchmark.h>

#include "flash/RomUpdate.h"
#include "tests/support/FlashImages.h"

namespace varlin {
namespace {

class SilentProgress final : public ProgressPort {
public:
    void SetStepText(const std::string&) override {}
    void SetRange(uint32_t) override {}
    void SetPosition(uint32_t) override {}
    void SetPercentage(int32_t) override {}
};

void BM_UpdateRom512KiB(benchmark::State& state, bool direct)
{
    constexpr uint32_t kSize = 512 * 1024;
    emulated::BoardOptions options;
    options.chipId = 0xD7BF;
    options.layout = 6;
    options.dmiRegion = options.pnpRegion = true;
    test::TestBoard board(test::MakeFlashImage(kSize, "BENCHBIO", 1), options);
    test::BoardHarness harness;
    if (!harness.Start(board, direct)) {
        state.SkipWithError("no driver");
        return;
    }
    harness.rom.romInfo.clearDmi = true;
    const Bytes image = test::MakeFlashImage(kSize, "BENCHBIO", 2);
    SilentProgress progress;
    RomUpdate update(harness.rom, harness.platform.messages, progress);
    update.romSizeBytes = kSize;
    update.mainStart = harness.rom.romInfo.romBase;

    size_t requests = 0;
    for (auto _ : state) {
        harness.platform.kordex.requests.clear();
        harness.platform.hardware.smiCommands.clear();
        if (!update.UpdateRom(image)) state.SkipWithError("the update failed");
        requests = direct ? harness.platform.hardware.smiCommands.size() : harness.platform.kordex.requests.size();
    }
    state.counters["requests"] = static_cast<double>(requests);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kSize);
}

BENCHMARK_CAPTURE(BM_UpdateRom512KiB, Driver, false)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_UpdateRom512KiB, Direct, true)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace varlin

BENCHMARK_MAIN();
