// Host tables kept in files, so that a session can run against real data
// off the host.
//
// Three forms, chosen by the file name's ending:
//  - text (any ending but .bin and .tsv): one record per line, the line's
//    bytes as the record holds them;
//  - .bin: 1026-byte blob chunk records laid end to end;
//  - .tsv: a cell table, tab-separated cells with typing escapes.
// docs/tessel.md describes the forms in full. Only regular files are read.
// Loading is linear in the file's size; every failure is a TableFileError whose text names the file
// (and, for a cell table, the line).
#pragma once

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/ComPtr.h"
#include "platform/OleSafeArray.h"
#include "standins/HostCellTable.h"
#include "standins/HostRecordTable.h"

namespace standins {

class TableFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class TableFileForm { Records, Chunks, Cells };

inline constexpr std::size_t kChunkRecordLength = 1026;
// Limits on what a file may make this process hold, so that a short file
// cannot declare its way to gigabytes: the bytes of any file read, and the
// cells (rows x columns, declared or not) of a cell table or grid.
inline constexpr std::uintmax_t kMaxFileBytes = std::uintmax_t{256} << 20;
inline constexpr std::uint64_t kMaxCells = std::uint64_t{1} << 22;

// Lines of a text file end at LF or CR LF. The line (from 1) of the first CR
// that ends no line, or 0: a file saved with CR endings reads as one line.
long LineOfLoneCr(std::string_view bytes);
inline constexpr std::string_view kLoneCr =
    "a carriage return (CR) without a line feed; lines end at LF or CR LF, not at CR alone";

TableFileForm FormOf(const std::filesystem::path& file);

// The file's bytes; `shown` is the name the error texts use.
std::string ReadFileBytes(const std::filesystem::path& file, std::string_view shown);

ComPtr<HostRecordTable> LoadRecordTable(const std::filesystem::path& file, std::string_view shown);
ComPtr<HostRecordTable> LoadChunkTable(const std::filesystem::path& file, std::string_view shown);
ComPtr<HostCellTable> LoadCellTable(const std::filesystem::path& file, std::string_view shown);
// A cell file as a grid the chart could hold: rows x columns of variants,
// lower bounds 0.
void LoadCellGrid(const std::filesystem::path& file, std::string_view shown, COleSafeArray& grid);

// The same from a file's bytes already in memory.
ComPtr<HostRecordTable> RecordTableFromBytes(std::string_view bytes, std::string_view shown);
ComPtr<HostRecordTable> ChunkTableFromBytes(std::string_view bytes, std::string_view shown);
ComPtr<HostCellTable> CellTableFromBytes(std::string_view bytes, std::string_view shown);
void CellGridFromBytes(std::string_view bytes, std::string_view shown, COleSafeArray& grid);

// Writes every record of the table: in the text form, each followed by a
// newline; for a .bin file, laid end to end.
void SaveRecordTable(const HostRecordTable& table, const std::filesystem::path& file, std::string_view shown);


}  // namespace standins
