#include "standins/TableFiles.h"

#include "platform/HexText.h"
#include "standins/Utf8.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef _WIN32
#include <io.h>
#endif

namespace standins {

namespace {

[[noreturn]] void Fail(std::string_view shown, const std::string& message) {
    throw TableFileError(std::string(shown) + ": " + message);
}

struct FileCloser {
    void operator()(std::FILE* file) const noexcept { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

std::string At(std::string_view shown, long line) { return std::string(shown) + ":" + std::to_string(line); }

// Calls line(text, number) for every line: a trailing \r is dropped and a
// final newline starts no line of its own.
template <class OnLine>
void ForEachLine(std::string_view bytes, long firstNumber, OnLine&& line) {
    std::size_t start = 0;
    long number = firstNumber - 1;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string_view::npos) end = bytes.size();
        std::string_view text = bytes.substr(start, end - start);
        if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
        line(text, ++number);
        start = end + 1;
    }
}

// ---- Cell files ---------------------------------------------------------------

constexpr std::string_view kColumns = "\\columns";

[[noreturn]] void CellFail(std::string_view shown, long line, long column, const std::string& message) {
    throw TableFileError(At(shown, line) + ": cell " + std::to_string(column) + ": " + message);
}

template <class Int>
bool ParseInteger(std::string_view text, Int& value) {
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    return !text.empty() && error == std::errc() && stop == end;
}

bool ParseReal(std::string_view text, double& value) {
    if (text.empty()) return false;
    // strtod wants a terminated string; numbers fit the stack buffer, the
    // rare longer text gets a copy.
    char small[64];
    std::string large;
    const char* start = small;
    if (text.size() < sizeof small) {
        std::memcpy(small, text.data(), text.size());
        small[text.size()] = '\0';
    } else {
        large.assign(text);
        start = large.c_str();
    }
    char* stop = nullptr;
    value = std::strtod(start, &stop);
    return stop == start + text.size() && std::isfinite(value);
}

// One typed cell; `scratch` is reused for the wide text so that a text cell
// costs only its own string.
COleVariant ParseCell(std::string_view cell, OleString& scratch, std::string_view shown, long line, long column) {
    if (cell.empty()) return COleVariant();
    if (cell.front() != '\\') {
        if (!DecodeUtf8(cell, scratch)) CellFail(shown, line, column, "text is not UTF-8");
        return COleVariant(scratch.data(), static_cast<UINT>(scratch.size()));
    }
    const std::size_t blank = cell.find(' ');
    const std::string_view tag = cell.substr(0, blank);
    const std::string_view payload = blank == std::string_view::npos ? std::string_view() : cell.substr(blank + 1);
    const bool hasPayload = blank != std::string_view::npos;

    if (tag == "\\s" || tag == "\\null") {
        if (hasPayload) CellFail(shown, line, column, std::string(tag) + " stands alone");
        if (tag == "\\s") return COleVariant(OLESTR(""), 0);
        COleVariant null;
        null.vt = VT_NULL;
        return null;
    }
    if (tag == "\\i4") {
        LONG value = 0;
        if (!hasPayload || !ParseInteger(payload, value)) CellFail(shown, line, column, "\\i4 needs a 32-bit decimal");
        return COleVariant(value);
    }
    if (tag == "\\i2") {
        SHORT value = 0;
        if (!hasPayload || !ParseInteger(payload, value)) CellFail(shown, line, column, "\\i2 needs a 16-bit decimal");
        return COleVariant(value, VT_I2);
    }
    if (tag == "\\bool") {
        if (payload != "1" && payload != "0") CellFail(shown, line, column, "\\bool needs 1 or 0");
        return COleVariant(static_cast<SHORT>(payload == "1"), VT_BOOL);
    }
    if (tag == "\\r8") {
        double value = 0;
        if (!hasPayload || !ParseReal(payload, value)) CellFail(shown, line, column, "\\r8 needs a finite number");
        return COleVariant(value);
    }
    if (cell.size() > 1 && cell[1] == '\\') cell.remove_prefix(1);
    if (!DecodeUtf8(cell, scratch)) CellFail(shown, line, column, "text is not UTF-8");
    return COleVariant(scratch.data(), static_cast<UINT>(scratch.size()));
}

// Reads a cell file in two passes over its bytes: the shape first, so that
// the receiver can size its store once, then every cell that is not empty.
template <class OnShape, class OnCell>
void ReadCells(std::string_view bytes, std::string_view shown, OnShape&& onShape, OnCell&& onCell) {
    if (bytes.starts_with(kUtf8ByteOrderMark)) bytes.remove_prefix(kUtf8ByteOrderMark.size());
    long declared = -1;
    if (bytes.starts_with(kColumns) && (bytes.size() == kColumns.size() || bytes[kColumns.size()] == ' ' ||
                                        bytes[kColumns.size()] == '\n' || bytes[kColumns.size()] == '\r')) {
        std::size_t end = bytes.find('\n');
        if (end == std::string_view::npos) end = bytes.size();
        std::string_view first = bytes.substr(0, end);
        if (!first.empty() && first.back() == '\r') first.remove_suffix(1);
        LONG count = -1;
        if (first.size() <= kColumns.size() + 1 || !ParseInteger(first.substr(kColumns.size() + 1), count) ||
            count < 0)
            Fail(At(shown, 1), "\\columns needs a column count of 0 or more");
        declared = count;
        bytes.remove_prefix(std::min(end + 1, bytes.size()));
    }
    const long firstLine = declared >= 0 ? 2 : 1;
    if (const long lone = LineOfLoneCr(bytes)) Fail(At(shown, lone + firstLine - 1), std::string(kLoneCr));

    long rows = 0;
    long widest = 0;
    ForEachLine(bytes, firstLine, [&](std::string_view text, long number) {
        ++rows;
        const long cells = text.empty() ? 0 : 1 + static_cast<long>(std::count(text.begin(), text.end(), '\t'));
        if (declared >= 0 && cells > declared)
            Fail(At(shown, number),
                 std::to_string(cells) + " cells, more than the " + std::to_string(declared) + " columns declared");
        widest = std::max(widest, cells);
    });
    const long columns = declared >= 0 ? declared : widest;
    // Both counts are below 2^31, so their product fits 64 bits.
    if (static_cast<std::uint64_t>(rows) * static_cast<std::uint64_t>(columns) > kMaxCells)
        Fail(shown, std::to_string(rows) + " rows of " + std::to_string(columns) + " columns is more than the " +
                        std::to_string(kMaxCells) + " cells a cell table may have");
    onShape(static_cast<LONG>(rows), static_cast<LONG>(columns), firstLine);

    OleString scratch;
    ForEachLine(bytes, firstLine, [&](std::string_view text, long number) {
        if (text.empty()) return;
        long column = 0;
        std::size_t start = 0;
        for (;;) {
            const std::size_t tab = text.find('\t', start);
            const std::string_view cell = text.substr(start, tab == std::string_view::npos ? tab : tab - start);
            ++column;
            if (!cell.empty())
                onCell(static_cast<LONG>(number - firstLine + 1), static_cast<LONG>(column),
                       ParseCell(cell, scratch, shown, number, column));
            if (tab == std::string_view::npos) break;
            start = tab + 1;
        }
    });
}

// Refuses a name the file system would read only up to its first NUL.
void CheckName(const std::filesystem::path& file, std::string_view shown) {
    if (file.native().find('\0') != std::string::npos) Fail(shown, "a file name cannot hold a NUL character");
}

struct FdCloser {
    int fd;
    ~FdCloser() {
        if (fd >= 0) ::close(fd);
    }
};

// Opened without waiting, so that a pipe without a writer cannot block before
// it is seen not to be a regular file; reads wait again once it is. Windows
// paths are wide and its files have no such pipes.
#ifdef _WIN32
int OpenToRead(const std::filesystem::path& file) { return ::_wopen(file.c_str(), _O_RDONLY | _O_BINARY); }
void WaitOnReads(int) {}
std::FILE* OpenToWrite(const std::filesystem::path& file) { return ::_wfopen(file.c_str(), L"wb"); }
#else
int OpenToRead(const std::filesystem::path& file) { return ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC); }
void WaitOnReads(int fd) { ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK); }
std::FILE* OpenToWrite(const std::filesystem::path& file) { return std::fopen(file.c_str(), "wb"); }
#endif

// ---- Record text in UTF-8 ------------------------------------------------------

// "'ł' (U+0142)": the character as the file has it, and its number.
std::string Shown(std::string_view utf8, char32_t code) {
    std::string text = "'" + std::string(utf8) + "' (U+";
    AppendHex(text, code, code > 0xFFFF ? 6 : 4);
    return text + ")";
}

// One line of UTF-8 as code page 1252 bytes; a character the code page lacks
// is told and becomes '?'.
void Utf8ToCp1252(std::string_view line, long number, std::string& record, const OnBadCharacter& bad) {
    record.clear();
    long column = 0;
    for (std::size_t at = 0; at < line.size();) {
        ++column;
        char32_t code = 0;
        const std::size_t length = DecodeUtf8At(line, at, code);
        if (length == 0) {
            bad({number, column, "bytes that are not UTF-8"});
            record += '?';
            ++at;
            continue;
        }
        char byte = '?';
        BOOL lacks = TRUE;
        if (code < 0x10000) {
            const WCHAR wide = static_cast<WCHAR>(code);
            WideCharToMultiByte(CP_ACP, 0, &wide, 1, &byte, 1, nullptr, &lacks);
        }
        if (lacks) bad({number, column, Shown(line.substr(at, length), code) + " is not in code page 1252"});
        record += byte;
        at += length;
    }
}

}  // namespace

void Cp1252ToUtf8(std::string_view record, std::string& utf8) {
    for (const char byte : record) {
        WCHAR wide = 0;
        MultiByteToWideChar(CP_ACP, 0, &byte, 1, &wide, 1);
        AppendUtf8(utf8, OleStringView(&wide, 1));
    }
}

long LineOfLoneCr(std::string_view bytes) {
    long line = 1;
    for (std::size_t at = 0; at < bytes.size(); ++at) {
        if (bytes[at] == '\n') ++line;
        if (bytes[at] == '\r' && (at + 1 == bytes.size() || bytes[at + 1] != '\n')) return line;
    }
    return 0;
}

TableFileForm FormOf(const std::filesystem::path& file) {
    const std::string ending = file.extension().string();
    if (ending == ".bin") return TableFileForm::Chunks;
    if (ending == ".tsv") return TableFileForm::Cells;
    return TableFileForm::Records;
}

std::string ReadFileBytes(const std::filesystem::path& file, std::string_view shown) {
    CheckName(file, shown);
    const FdCloser in{OpenToRead(file)};
    if (in.fd < 0) Fail(shown, std::string("cannot read: ") + std::strerror(errno));
    struct stat status {};
    if (::fstat(in.fd, &status) != 0) Fail(shown, std::string("cannot read: ") + std::strerror(errno));
    if (S_ISDIR(status.st_mode)) Fail(shown, "is a folder, not a file");
    if (!S_ISREG(status.st_mode)) Fail(shown, "is not a regular file (a device, a pipe or a socket); only files are read");
    if (static_cast<std::uintmax_t>(status.st_size) > kMaxFileBytes)
        Fail(shown, std::to_string(status.st_size) + " bytes is more than the " + std::to_string(kMaxFileBytes) +
                        " a file may have");
    WaitOnReads(in.fd);
    // Sized once from the file's size; a file that grows meanwhile is read
    // on, up to the same limit.
    std::string bytes(static_cast<std::size_t>(status.st_size), '\0');
    std::size_t have = 0;
    for (;;) {
        if (have == bytes.size()) {
            if (bytes.size() >= kMaxFileBytes) break;
            bytes.resize(std::min<std::size_t>(kMaxFileBytes, bytes.size() + (1 << 16)));
        }
        const ssize_t got = ::read(in.fd, bytes.data() + have, bytes.size() - have);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) Fail(shown, std::string("cannot read: ") + std::strerror(errno));
        if (got == 0) break;
        have += static_cast<std::size_t>(got);
    }
    bytes.resize(have);
    return bytes;
}

ComPtr<HostRecordTable> LoadRecordTable(const std::filesystem::path& file, std::string_view shown) {
    return RecordTableFromBytes(ReadFileBytes(file, shown), shown);
}

ComPtr<HostRecordTable> RecordTableFromBytes(std::string_view bytes, std::string_view shown, Encoding encoding,
                                             const OnBadCharacter& onBad) {
    if (bytes.starts_with(kUtf8ByteOrderMark)) {
        if (encoding == Encoding::Cp1252)
            Fail(shown, "starts with a UTF-8 byte-order mark; records are single-byte text (Windows-1252)");
        bytes.remove_prefix(kUtf8ByteOrderMark.size());
    }
    // A record may hold a CR; a file with CRs and no LF at all was saved with
    // CR line endings and would read as one record.
    if (bytes.find('\n') == std::string_view::npos && LineOfLoneCr(bytes) != 0) Fail(At(shown, 1), std::string(kLoneCr));
    ComPtr<HostRecordTable> table = HostRecordTable::Create();
    if (encoding == Encoding::Cp1252) {
        ForEachLine(bytes, 1, [&](std::string_view record, long) { table->AddRow(record); });
        return table;
    }
    const OnBadCharacter refuse = [&](const BadCharacter& bad) {
        Fail(At(shown, bad.line) + ":" + std::to_string(bad.column), bad.message);
    };
    std::string record;
    ForEachLine(bytes, 1, [&](std::string_view line, long number) {
        Utf8ToCp1252(line, number, record, onBad ? onBad : refuse);
        table->AddRow(record);
    });
    return table;
}

LoadedTable LoadTable(const std::filesystem::path& file, std::string_view shown, Encoding encoding,
                      const OnBadCharacter& onBad) {
    LoadedTable loaded;
    loaded.form = FormOf(file);
    const std::string bytes = ReadFileBytes(file, shown);
    if (loaded.form == TableFileForm::Cells) {
        loaded.cells = CellTableFromBytes(bytes, shown, &loaded.firstLine);
        return loaded;
    }
    if (loaded.form == TableFileForm::Chunks) {
        loaded.records = ChunkTableFromBytes(bytes, shown);
        return loaded;
    }
    loaded.records = RecordTableFromBytes(bytes, shown, encoding, onBad);
    if (encoding == Encoding::Cp1252) loaded.utf8Line = FirstMultiByteLine(bytes);
    return loaded;
}

IDispatch* LoadedTable::Dispatch() const noexcept {
    return cells ? static_cast<IDispatch*>(cells.Get()) : static_cast<IDispatch*>(records.Get());
}

long FirstMultiByteLine(std::string_view bytes) noexcept {
    long line = 1;
    long first = 0;
    for (std::size_t at = 0; at < bytes.size();) {
        char32_t code = 0;
        const std::size_t length = DecodeUtf8At(bytes, at, code);
        if (length == 0) return 0;
        if (length > 1 && first == 0) first = line;
        if (bytes[at] == '\n') ++line;
        at += length;
    }
    return first;
}

ComPtr<HostRecordTable> LoadChunkTable(const std::filesystem::path& file, std::string_view shown) {
    return ChunkTableFromBytes(ReadFileBytes(file, shown), shown);
}

ComPtr<HostRecordTable> ChunkTableFromBytes(std::string_view bytes, std::string_view shown) {
    if (bytes.size() % kChunkRecordLength != 0)
        Fail(shown, std::to_string(bytes.size()) + " bytes is not a whole number of " +
                        std::to_string(kChunkRecordLength) + "-byte records");
    ComPtr<HostRecordTable> table = HostRecordTable::Create();
    for (std::size_t at = 0; at < bytes.size(); at += kChunkRecordLength)
        table->AddRow(bytes.substr(at, kChunkRecordLength));
    return table;
}

ComPtr<HostCellTable> LoadCellTable(const std::filesystem::path& file, std::string_view shown) {
    return CellTableFromBytes(ReadFileBytes(file, shown), shown);
}

ComPtr<HostCellTable> CellTableFromBytes(std::string_view bytes, std::string_view shown, long* firstLine) {
    ComPtr<HostCellTable> table = HostCellTable::Create();
    ReadCells(
        bytes, shown,
        [&](LONG rows, LONG columns, long first) {
            table->SetSize(rows, columns);
            if (firstLine) *firstLine = first;
        },
        [&](LONG row, LONG column, COleVariant&& value) { table->SetCell(row, column, value); });
    return table;
}

void LoadCellGrid(const std::filesystem::path& file, std::string_view shown, COleSafeArray& grid) {
    CellGridFromBytes(ReadFileBytes(file, shown), shown, grid);
}

void CellGridFromBytes(std::string_view bytes, std::string_view shown, COleSafeArray& grid) {
    ReadCells(
        bytes, shown,
        [&](LONG rows, LONG columns, long) {
            const DWORD elements[2] = {static_cast<DWORD>(rows), static_cast<DWORD>(columns)};
            grid.Create(VT_VARIANT, 2, elements);
        },
        [&](LONG row, LONG column, COleVariant&& value) {
            LONG index[2] = {row - 1, column - 1};
            grid.PutElement(index, std::move(value));
        });
}

void SaveRecordTable(const HostRecordTable& table, const std::filesystem::path& file, std::string_view shown,
                     Encoding encoding) {
    CheckName(file, shown);
    File out(OpenToWrite(file));
    if (!out) Fail(shown, std::string("cannot write: ") + std::strerror(errno));
    const bool text = FormOf(file) != TableFileForm::Chunks;
    const bool convert = text && encoding == Encoding::Utf8;
    std::string utf8;
    for (std::size_t row = 1; row <= table.RowCount(); ++row) {
        std::string_view record = table.Row(row);
        if (convert) {
            utf8.clear();
            Cp1252ToUtf8(record, utf8);
            record = utf8;
        }
        std::fwrite(record.data(), 1, record.size(), out.get());
        if (text) std::fputc('\n', out.get());
    }
    if (std::ferror(out.get()) || std::fflush(out.get()) != 0)
        Fail(shown, std::string("cannot write: ") + std::strerror(errno));
}

}  // namespace standins
