// The layout blob both ways, from 1 KiB to 64 MiB, beside memcpy of the same
// bytes: a fill joins the chunk records into one byte array, a write-back
// cuts it into chunk records again.
#include <cstring>
#include <string>
#include <vector>

#include "Benchmarks.h"
#include "Measure.h"
#include "SampleRecords.h"
#include "links/Blob.h"
#include "standins/HostRecordTable.h"

namespace {

using standins::HostRecordTable;

constexpr std::size_t kSizes[] = {1 << 10, 64 << 10, 1 << 20, 16 << 20, 64 << 20};

std::string SizeName(std::size_t bytes) {
    return bytes >= (1 << 20) ? std::to_string(bytes >> 20) + "MiB" : std::to_string(bytes >> 10) + "KiB";
}

void Report(benchmark::State& state, std::size_t bytes) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}

void BlobFill(benchmark::State& state, std::size_t bytes) {
    ComPtr<HostRecordTable> table = bench::ChunkTable(bytes);
    CBlob blob;
    BOOL filled = TRUE;
    bench::Measure(
        state, bytes, "ns_per_byte",
        [&] {
            blob.Clear();
            table->RestartCalls();
        },
        [&] { filled = blob.Fill310(table); });
    if (!filled) state.SkipWithError("the fill failed");
    Report(state, bytes);
}

void BlobWriteBack(benchmark::State& state, std::size_t bytes) {
    CBlob blob;
    if (!blob.Fill310(bench::ChunkTable(bytes))) return state.SkipWithError("no blob");
    // One target throughout, so its storage is warm after the first run.
    ComPtr<HostRecordTable> target = HostRecordTable::Create();
    BOOL written = TRUE;
    bench::Measure(
        state, bytes, "ns_per_byte", [&] { target->RestartCalls(); }, [&] { written = blob.WriteBackRows310(target); });
    if (!written) state.SkipWithError("the write-back failed");
    Report(state, bytes);
}

// The hardware's own figure for moving the bytes once.
void Memcpy(benchmark::State& state, std::size_t bytes) {
    std::vector<char> from(bytes, 'a');
    std::vector<char> to(bytes);
    bench::Measure(
        state, bytes, "ns_per_byte", [] {},
        [&] {
            std::memcpy(to.data(), from.data(), bytes);
            benchmark::DoNotOptimize(to.data());
        });
    Report(state, bytes);
}

// The same into a byte array created for the copy, as a fill's blob is: the
// first touch of its fresh pages is part of the price.
void MemcpyFresh(benchmark::State& state, std::size_t bytes) {
    std::vector<char> from(bytes, 'a');
    bench::Measure(
        state, bytes, "ns_per_byte", [] {},
        [&] {
            COleSafeArray to;
            to.CreateOneDim(VT_UI1, static_cast<DWORD>(bytes), from.data());
            benchmark::DoNotOptimize(to.parray);
        });
    Report(state, bytes);
}

}  // namespace

void bench::RegisterBlobBenchmarks() {
    for (std::size_t bytes : kSizes) {
        const std::string size = SizeName(bytes);
        bench::Register("Fill/Blob/310/" + size, [bytes](benchmark::State& s) { BlobFill(s, bytes); });
        bench::Register("WriteBack/Blob/310/" + size, [bytes](benchmark::State& s) { BlobWriteBack(s, bytes); });
        bench::Register("Floor/Memcpy/" + size, [bytes](benchmark::State& s) { Memcpy(s, bytes); });
        bench::Register("Floor/MemcpyFresh/" + size, [bytes](benchmark::State& s) { MemcpyFresh(s, bytes); });
    }
}
