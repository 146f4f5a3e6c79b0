// CBlob: the chart's layout blob, carried in chunk records. The chart keeps
// the blob as one byte string of any length; a host row has a fixed length,
// so the blob travels cut into 1021-byte chunks, one per row, and is joined
// again on reading. The grid is a 1-D array of bytes, not rows of variants.
#pragma once

#include <cstddef>

#include "platform/OleSafeArray.h"
#include "tables/OrlinTableData.h"

// The chunk record: binary, one layout for every version. Reserved bytes
// (1 and 1025) are never read; writing leaves them zero.
namespace blob_chunk {
inline constexpr ULONG kRecordLength = 1026;
inline constexpr std::size_t kNumberOffset = 0;  // 1 byte: the chunk's place from 1, low 8 bits
inline constexpr std::size_t kLengthOffset = 2;  // 2 bytes: bytes in this chunk, signed, little-endian
inline constexpr std::size_t kDataOffset = 4;
inline constexpr std::size_t kDataWidth = 1021;  // every chunk but the last is full
static_assert(kNumberOffset < kLengthOffset && kLengthOffset + 2 <= kDataOffset &&
              kDataOffset + kDataWidth < kRecordLength);
}  // namespace blob_chunk

class CBlob : public COrlinTableData, public COleSafeArray {
public:
    BOOL Fill310(ComPtr<IHostTable> table) override;
    BOOL WriteBackRows310(ComPtr<IHostTable> table) override;
};
