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
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "links/Blob.h"
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

// The text of record files: code page 1252 bytes as the host sends them, or
// UTF-8 converted to them on reading and from them on saving.
enum class Encoding { Cp1252, Utf8 };

// A character of a UTF-8 record file that code page 1252 lacks, or bytes
// that are not UTF-8: its line, its column in characters from 1, and what
// it is ("'ł' (U+0142) is not in code page 1252").
struct BadCharacter {
    long line;
    long column;
    std::string message;
};
// Told of each bad character, which then reads as '?'; without one the first
// bad character is a TableFileError.
using OnBadCharacter = std::function<void(const BadCharacter&)>;

// A host table as its file's form makes it: a record table offers only
// IHostTable, a cell table only IHostCellTable.
struct LoadedTable {
    TableFileForm form = TableFileForm::Records;
    ComPtr<HostRecordTable> records;  // Records and Chunks
    ComPtr<HostCellTable> cells;      // Cells
    // A record file read as code page 1252 whose bytes are UTF-8 with
    // characters of more than one byte: the first line holding one (else 0).
    long utf8Line = 0;
    // The file's line of row 1 (a cell table's \columns line comes first).
    long firstLine = 1;

    IDispatch* Dispatch() const noexcept;
};

inline constexpr std::size_t kChunkRecordLength = blob_chunk::kRecordLength;
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

// The one way a table file is loaded: by its form.
LoadedTable LoadTable(const std::filesystem::path& file, std::string_view shown, Encoding encoding = Encoding::Cp1252,
                      const OnBadCharacter& onBad = {});

ComPtr<HostRecordTable> LoadRecordTable(const std::filesystem::path& file, std::string_view shown);
ComPtr<HostRecordTable> LoadChunkTable(const std::filesystem::path& file, std::string_view shown);
ComPtr<HostCellTable> LoadCellTable(const std::filesystem::path& file, std::string_view shown);
// A cell file as a grid the chart could hold: rows x columns of variants,
// lower bounds 0.
void LoadCellGrid(const std::filesystem::path& file, std::string_view shown, COleSafeArray& grid);

// The same from a file's bytes already in memory.
ComPtr<HostRecordTable> RecordTableFromBytes(std::string_view bytes, std::string_view shown,
                                             Encoding encoding = Encoding::Cp1252, const OnBadCharacter& onBad = {});
ComPtr<HostRecordTable> ChunkTableFromBytes(std::string_view bytes, std::string_view shown);
// firstLine: where it is not null, the file's line of the table's row 1.
ComPtr<HostCellTable> CellTableFromBytes(std::string_view bytes, std::string_view shown, long* firstLine = nullptr);
void CellGridFromBytes(std::string_view bytes, std::string_view shown, COleSafeArray& grid);

// The line (from 1) of the first character of more than one byte, when the
// bytes are well-formed UTF-8 and hold one; else 0.
long FirstMultiByteLine(std::string_view bytes) noexcept;

// Code page 1252 bytes appended as UTF-8.
void Cp1252ToUtf8(std::string_view bytes, std::string& utf8);

// Writes every record of the table: in the text form, each followed by a
// newline (in UTF-8, each record converted); for a .bin file, laid end to end.
void SaveRecordTable(const HostRecordTable& table, const std::filesystem::path& file, std::string_view shown,
                     Encoding encoding = Encoding::Cp1252);


}  // namespace standins
