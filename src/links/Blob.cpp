#include "links/Blob.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

using namespace blob_chunk;

namespace {

using Record = std::array<unsigned char, kRecordLength>;

// The bytes of a byte array, locked while in use.
class BlobBytes {
public:
    explicit BlobBytes(COleSafeArray& blob) : blob_(blob) {
        void* data = nullptr;
        blob_.AccessData(&data);
        data_ = static_cast<unsigned char*>(data);
    }
    ~BlobBytes() { SafeArrayUnaccessData(blob_.parray); }
    BlobBytes(const BlobBytes&) = delete;
    BlobBytes& operator=(const BlobBytes&) = delete;

    unsigned char* Data() const noexcept { return data_; }

private:
    COleSafeArray& blob_;
    unsigned char* data_ = nullptr;
};

// A blob is one byte array, indexed by a signed 32-bit number: a larger one
// is more than a process can be given, and the host is told its size.
void CheckRoom(std::uint64_t bytes) {
    // The platform's LONG, not the C library's long: off Windows that one
    // has 64 bits, and a table of any size would pass on to its reads.
    constexpr auto kMost = static_cast<std::uint64_t>(std::numeric_limits<LONG>::max());
    if (bytes <= kMost) return;
    const std::string text = "Out of memory: no room for a blob of " + std::to_string(bytes) +
                             " bytes, more than an array can hold (" + std::to_string(kMost) + " bytes)";
    RaiseError(E_OUTOFMEMORY, {}, OleString(text.begin(), text.end()));
}

void ReadChunk(IHostRowStore& store, ULONG row, Record& record) {
    CheckResult(store.ReadRow(row, kRecordLength, reinterpret_cast<LPSTR>(record.data())),
                InterfaceTraits<IHostRowStore>::Id());
}

// `record`: a chunk record's first bytes, its header at least.
LONG LengthOf(const unsigned char* record) noexcept {
    const auto low = record[kLengthOffset];
    const auto high = record[kLengthOffset + 1];
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(low | high << 8));
}

// A chunk whose record does not lie wholly inside the blob (the first, the
// last): read into `record`, its bytes copied to `data` once its length is
// the one expected.
bool ReadChunkCopied(IHostRowStore& store, ULONG row, Record& record, unsigned char* data, LONG expected) {
    ReadChunk(store, row, record);
    if (LengthOf(record.data()) != expected) return false;
    std::memcpy(data, record.data() + kDataOffset, static_cast<std::size_t>(expected));
    return true;
}

// A full chunk in the middle of the blob is read straight into its place, so
// its bytes are copied once, by the host. The record then spans the blob
// from 4 bytes before the chunk's data (its header, over the end of the chunk
// before, which is kept aside and put back) to 1 byte after it (its reserved
// byte, over the start of the chunk after, which is read later).
bool ReadChunkInPlace(IHostRowStore& store, ULONG row, unsigned char* data) {
    // The end of the chunk before goes back on every path, a failing read's too.
    struct KeptAside {
        unsigned char* at;
        std::array<unsigned char, kDataOffset> bytes;
        ~KeptAside() { std::memcpy(at, bytes.data(), kDataOffset); }
    } kept{data - kDataOffset, {}};
    std::memcpy(kept.bytes.data(), kept.at, kDataOffset);
    CheckResult(store.ReadRow(row, kRecordLength, reinterpret_cast<LPSTR>(kept.at)),
                InterfaceTraits<IHostRowStore>::Id());
    return LengthOf(kept.at) == static_cast<LONG>(kDataWidth);
}

void WriteChunk(Record& record, ULONG chunk, const unsigned char* data, std::size_t length) noexcept {
    record[kNumberOffset] = static_cast<unsigned char>(chunk & 0xFF);
    record[kLengthOffset] = static_cast<unsigned char>(length & 0xFF);
    record[kLengthOffset + 1] = static_cast<unsigned char>(length >> 8);
    std::memcpy(record.data() + kDataOffset, data, length);
    // A short last chunk carries no bytes of the chunk before it.
    std::memset(record.data() + kDataOffset + length, 0, kDataWidth - length);
}

}  // namespace

// The blob's size comes from the last row alone: (rows - 1) full chunks and
// the last one's length. The blob of that size replaces the one held before,
// and the rows are joined into it; a fill that fails after that, by a failing
// host call or by rejecting the table, leaves it partly joined. A table whose
// lengths do not add up to that size (a length outside 0..1021, a row before
// the last that is not full, a last row whose length changed between the two
// readings) is rejected, not clamped: the fill returns 0, nothing reaches the
// chart, and no byte is read past a record or written past the blob. Chunk
// numbers are not read; rows stand in blob order.
BOOL CBlob::Fill310(ComPtr<IHostTable> table) {
    if (!table) return FALSE;
    ComPtr<IHostRowStore> store = RowStoreOf(*table);
    if (!store) return FALSE;
    const ULONG rows = RowCountOf(*store);
    if (rows == 0) return FALSE;  // an empty blob table never reaches the chart
    CheckRoom(std::uint64_t{rows - 1} * kDataWidth);  // however short the last chunk
    Record record;
    ReadChunk(*store, rows, record);
    const LONG last = LengthOf(record.data());
    if (last < 0 || last > static_cast<LONG>(kDataWidth)) return FALSE;
    const std::uint64_t size = std::uint64_t{rows - 1} * kDataWidth + static_cast<std::uint64_t>(last);
    CheckRoom(size);

    const DWORD elements = static_cast<DWORD>(size);
    Create(VT_UI1, 1, &elements);  // raises E_OUTOFMEMORY, with the size, when there is no room
    BlobBytes bytes(*this);
    for (ULONG row = 1; row <= rows; ++row) {
        unsigned char* const data = bytes.Data() + std::size_t{row - 1} * kDataWidth;
        const LONG expected = row < rows ? static_cast<LONG>(kDataWidth) : last;
        // In place only where the whole record, reserved byte included,
        // lies inside the blob.
        const bool inside = row > 1 && row < rows &&
                            std::size_t{row - 1} * kDataWidth + (kRecordLength - kDataOffset) <= size;
        const bool joined = inside ? ReadChunkInPlace(*store, row, data)
                                   : ReadChunkCopied(*store, row, record, data, expected);
        if (!joined) return FALSE;
    }
    return TRUE;
}

BOOL CBlob::WriteBackRows310(ComPtr<IHostTable> table) {
    if (!table) return FALSE;
    // Only a byte array has a size to split; any other value fails as one
    // without an array fails on its bounds.
    if (!HasShape(VT_UI1, 1)) RaiseError(E_INVALIDARG);
    const std::size_t size = static_cast<std::size_t>(GetCount(1));
    ComPtr<IHostRowStore> store = RowStoreOf(*table);
    if (!store) return FALSE;
    CheckResult(store->ClearRows(), InterfaceTraits<IHostRowStore>::Id());
    BlobBytes bytes(*this);
    Record record{};
    ULONG chunk = 1;
    for (std::size_t offset = 0; offset < size; offset += kDataWidth, ++chunk) {
        WriteChunk(record, chunk, bytes.Data() + offset, std::min(kDataWidth, size - offset));
        CheckResult(store->AppendRow(kRecordLength, reinterpret_cast<LPCSTR>(record.data())),
                    InterfaceTraits<IHostRowStore>::Id());
    }
    return TRUE;
}
