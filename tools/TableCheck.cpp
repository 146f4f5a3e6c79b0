#include "tools/TableCheck.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <limits>

#include "links/Blob.h"
#include "platform/CRuntime.h"
#include "platform/HexText.h"
#include "scorecard/TreeItems.h"
#include "tables/RecordCutter.h"
#include "tables/TableOCXData.h"
#include "tools/LayoutDescription.h"

namespace tessel {

namespace {

using standins::TableFileForm;

std::string Shown(std::string_view bytes) {
    std::string text = "'";
    standins::Cp1252ToUtf8(bytes, text);
    return text + "'";
}

// The field a byte of the record lies in, or null.
const FieldSpec* FieldAt(const FillLayout& layout, std::size_t offset) {
    for (const FieldSpec& f : layout.fields)
        if (offset >= f.offset && offset < std::size_t{f.offset} + f.width) return &f;
    return nullptr;
}

Finding About(long line, long column, std::string field, std::string message, std::string outcome, bool fatal = false) {
    Finding finding;
    finding.line = line;
    finding.column = column;
    finding.field = std::move(field);
    finding.message = std::move(message);
    finding.outcome = std::move(outcome);
    finding.fatal = fatal;
    return finding;
}

Finding InField(long line, const FieldSpec* f, long column, std::string message, std::string outcome,
                bool fatal = false) {
    Finding finding = About(line, column, f ? std::string(UseName(f->use)) : "record", std::move(message),
                            std::move(outcome), fatal);
    if (f) {
        finding.offset = f->offset;
        finding.width = f->width;
    }
    return finding;
}

// A number as a host writes one: leading blanks, a sign, digits, nothing
// else. `value` is the field without its trailing blanks.
bool IsPlainNumber(std::string_view value, std::int64_t& number) {
    while (!value.empty() && value.front() == ' ') value.remove_prefix(1);
    if (!value.empty() && value.front() == '+') value.remove_prefix(1);
    if (value.empty() || value.front() == '+') return false;
    const char* end = value.data() + value.size();
    const auto [stop, error] = std::from_chars(value.data(), end, number);
    // Past 64 bits it is still a number, just one no field holds.
    if (error == std::errc::result_out_of_range) number = std::numeric_limits<std::int64_t>::max();
    return stop == end && error != std::errc::invalid_argument;
}

bool Fits(std::int64_t number, std::int64_t least, std::int64_t most) { return number >= least && number <= most; }

// A byte the code page has no character for reads as the C1 control of its
// value: that is how the platform keeps it round-tripping.
bool IsUndefinedByte(char byte) {
    WCHAR wide = 0;
    MultiByteToWideChar(CP_ACP, 0, &byte, 1, &wide, 1);
    return wide >= 0x80 && wide < 0xA0;
}

std::string CellName(LONG cell) { return "cell " + std::to_string(cell); }

}  // namespace

std::string Finding::Line(std::string_view file) const {
    std::string text = std::string(file) + ':' + std::to_string(line) + ':' + std::to_string(column) + ": " + field;
    if (offset >= 0) text += " (" + std::to_string(offset) + ", " + std::to_string(width) + ")";
    text += ": " + message;
    if (!outcome.empty()) text += "; " + outcome;
    return text;
}

std::string Finding::Brief() const { return field + ' ' + message; }

Findings TableCheck::Check(const std::filesystem::path& file, std::string_view shown) const {
    const MemberDetail& table = *member_.table;
    const bool wantsCells = table.form == TableForm::Cells;
    const TableFileForm form = standins::FormOf(file);
    Findings findings;
    if (wantsCells != (form == TableFileForm::Cells)) {
        standins::ReadFileBytes(file, shown);  // a file that cannot be read is that, first
        const std::string name(member_.name);
        findings.push_back(About(1, 1, "table",
                                 wantsCells ? name + " reads a cell table (.tsv), not records"
                                            : name + " reads records, not a cell table (.tsv)",
                                 "the control finds no table it can read and sends nothing"));
        return findings;
    }
    // What loading finds and what the records hold, each in line order.
    Findings loading;
    const std::optional<FillLayout>* layout =
        table.records ? &table.records->Fill(table.fill.For(version_)) : nullptr;
    const standins::LoadedTable loaded = standins::LoadTable(file, shown, encoding_, [&](const standins::BadCharacter& b) {
        loading.push_back(InField(b.line, layout && *layout ? FieldAt(**layout, b.column - 1) : nullptr, b.column,
                                  b.message, "it reads as '?'"));
    });
    if (loaded.utf8Line != 0)
        loading.push_back(About(loaded.utf8Line, 1, "file", "is UTF-8 with characters of more than one byte",
                                "the control reads each byte as a character of code page 1252: use --encoding utf-8"));
    switch (table.form) {
        case TableForm::Records: CheckRecords(*loaded.records, findings); break;
        case TableForm::Chunks: CheckChunks(*loaded.records, findings); break;
        case TableForm::Cells:
            CheckCells(*loaded.cells, findings);
            for (Finding& f : findings.kept) f.line += loaded.firstLine - 1;
            break;
    }
    findings.total += loading.total;
    findings.kept.insert(findings.kept.end(), loading.kept.begin(), loading.kept.end());
    std::stable_sort(findings.kept.begin(), findings.kept.end(), [](const Finding& a, const Finding& b) {
        return a.line != b.line ? a.line < b.line : a.column < b.column;
    });
    if (findings.kept.size() > Findings::kKept) findings.kept.resize(Findings::kKept);
    return findings;
}

std::vector<Finding> TableCheck::CheckRecord(const standins::HostRecordTable& table, long line) const {
    Findings findings;
    const auto& layout = member_.table->records->Fill(member_.table->fill.For(version_));
    if (layout && line >= 1 && static_cast<std::size_t>(line) <= table.RowCount())
        CheckRecordAt(*layout, table.Row(static_cast<std::size_t>(line)), line, static_cast<long>(table.RowCount()),
                      nullptr, findings);
    return std::move(findings.kept);
}

void TableCheck::CheckRecords(const standins::HostRecordTable& table, Findings& findings) const {
    const auto& layout = member_.table->records->Fill(member_.table->fill.For(version_));
    if (!layout) return;
    const long rows = static_cast<long>(table.RowCount());
    std::vector<long> rowLines(static_cast<std::size_t>(rows));
    for (long line = 1; line <= rows; ++line)
        CheckRecordAt(*layout, table.Row(static_cast<std::size_t>(line)), line, rows, &rowLines, findings);
}

void TableCheck::CheckRecordAt(const FillLayout& layout, std::string_view record, long line, long rows,
                               std::vector<long>* rowLines, Findings& findings) const {
    const std::size_t length = layout.recordLength;
    if (record.size() != length)
        findings.push_back(About(line, static_cast<long>(std::min(record.size(), length)) + 1, "record",
                                 "has " + std::to_string(record.size()) + " bytes; the layout has " +
                                     std::to_string(length),
                                 record.size() < length ? "the control reads the rest as blanks"
                                                        : "the control ignores the bytes after " +
                                                              std::to_string(length)));
    // The record as the control reads it: cut or padded with blanks.
    std::array<char, kMaxRecordLength> bytes;
    bytes.fill(' ');
    std::copy_n(record.begin(), std::min(record.size(), length), bytes.begin());
    for (std::size_t at = 0; at < std::min(record.size(), length); ++at)
        if (IsUndefinedByte(bytes[at])) {
            std::string byte;
            AppendHex(byte, static_cast<unsigned char>(bytes[at]), 2);
            findings.push_back(InField(line, FieldAt(layout, at), static_cast<long>(at) + 1,
                                       "byte 0x" + byte + " is no character of code page 1252",
                                       "the control makes it U+00" + byte));
        }
    for (const FieldSpec& f : layout.fields) {
        const std::string_view value = FieldValue(bytes.data() + f.offset, f.width);
        const long column = f.offset + 1;
        const auto add = [&](std::string message, std::string outcome, bool fatal = false) {
            findings.push_back(InField(line, &f, column, std::move(message), std::move(outcome), fatal));
        };
        std::int64_t number = 0;
        const bool plain = IsPlainNumber(value, number);
        const LONG read = AtoL(value);
        switch (f.use) {
            case FieldUse::Key:
                if (value.empty()) add("is blank", "every record needs its key");
                break;
            case FieldUse::Row:
                if (!plain || !Fits(number, 1, rows)) {
                    add(value.empty() ? "is blank"
                        : plain       ? std::to_string(number) + " is outside the table's " + std::to_string(rows) +
                                      " records"
                                      : Shown(value) + " is not a number",
                        "the control reads " + std::to_string(read) + ", which names no row: the set fails", true);
                } else if (rowLines) {
                    long& first = (*rowLines)[static_cast<std::size_t>(number - 1)];
                    if (first != 0)
                        add(std::to_string(number) + " again, as on line " + std::to_string(first),
                            "this record replaces that one and a grid row stays empty");
                    else
                        first = line;
                }
                break;
            case FieldUse::Long:
            case FieldUse::Short:
            case FieldUse::Digit: {
                const bool narrow = f.use != FieldUse::Long;
                const std::string reads =
                    "the control reads " + std::to_string(narrow ? LONG{Cut16(read)} : read);
                if (!value.empty() && !plain)
                    add(Shown(value) + " is not a number", reads);
                else if (plain && !Fits(number, INT32_MIN, INT32_MAX))
                    add(std::to_string(number) + " does not fit 32 bits", reads);
                else if (plain && narrow && !Fits(number, INT16_MIN, INT16_MAX))
                    add(std::to_string(number) + " does not fit 16 bits", reads);
                break;
            }
            case FieldUse::Marker:
            case FieldUse::Flag:
                if (!value.empty() && value != "X") add(Shown(value) + " is neither X nor blank", "the control reads it as not set");
                break;
            default: break;
        }
    }
}

void TableCheck::CheckChunks(const standins::HostRecordTable& table, Findings& findings) const {
    using namespace blob_chunk;
    const std::size_t rows = table.RowCount();
    if (rows == 0) {
        findings.push_back(About(1, 1, "table", "has no chunk records", "the control sends nothing"));
        return;
    }
    for (std::size_t row = 1; row <= rows; ++row) {
        const long line = static_cast<long>(row);
        const std::string_view record = table.Row(row);
        if (record.size() != kRecordLength)
            findings.push_back(About(line, static_cast<long>(std::min<std::size_t>(record.size(), kRecordLength)) + 1,
                                     "record",
                                     "has " + std::to_string(record.size()) + " bytes; a chunk record has " +
                                         std::to_string(kRecordLength),
                                     "the control reads it as " + std::to_string(kRecordLength) + " bytes"));
        std::array<unsigned char, 2> lengthBytes{' ', ' '};
        for (std::size_t i = 0; i < 2 && kLengthOffset + i < record.size(); ++i)
            lengthBytes[i] = static_cast<unsigned char>(record[kLengthOffset + i]);
        const auto carried = static_cast<std::int16_t>(static_cast<std::uint16_t>(lengthBytes[0] | lengthBytes[1] << 8));
        const bool last = row == rows;
        const bool fits = last ? carried >= 0 && carried <= static_cast<long>(kDataWidth) : carried == static_cast<long>(kDataWidth);
        if (!fits) {
            Finding finding = About(line, kLengthOffset + 1, "length",
                                    "is " + std::to_string(carried) +
                                        (last ? "; the last chunk carries 0 to " : "; every chunk but the last carries ") +
                                        std::to_string(kDataWidth),
                                    "the control refuses the table and sends nothing");
            finding.offset = kLengthOffset;
            finding.width = kDataOffset - kLengthOffset;
            findings.push_back(std::move(finding));
        }
    }
}

void TableCheck::CheckCells(const standins::HostCellTable& table, Findings& findings) const {
    const tree_items::RowLayout& rows = tree_items::RowsOf(member_.table->fill.For(version_));
    const LONG least = std::max(rows.column0, rows.column1);
    if (table.Columns() < least && table.Rows() > 0)
        findings.push_back(About(1, 1, "table",
                                 "has " + std::to_string(table.Columns()) + " columns; the layout reads at least " +
                                     std::to_string(least),
                                 "the set fails on the first cell it lacks", true));
    for (LONG row = 1; row <= table.Rows(); ++row) CheckCellRowInto(table, row, findings);
}

std::vector<Finding> TableCheck::CheckCellRow(const standins::HostCellTable& table, long row) const {
    Findings findings;
    CheckCellRowInto(table, row, findings);
    return std::move(findings.kept);
}

void TableCheck::CheckCellRowInto(const standins::HostCellTable& table, long row, Findings& findings) const {
    const tree_items::RowLayout& rows = tree_items::RowsOf(member_.table->fill.For(version_));
    if (row < 1 || row > table.Rows()) return;
    const auto text = [&](LONG cell) { return AnsiText(table.Cell(static_cast<LONG>(row), cell)); };
    if (table.Columns() >= tree_items::kKeyCell && text(tree_items::kKeyCell).empty())
        findings.push_back(About(row, tree_items::kKeyCell, CellName(tree_items::kKeyCell), "is blank",
                                 "the row joins a group with the empty key"));
    if (rows.number != 0 && rows.number <= table.Columns()) {
        try {
            LongOfCell(table.Cell(static_cast<LONG>(row), rows.number));
        } catch (const ComponentError&) {
            findings.push_back(About(row, rows.number, CellName(rows.number), Shown(text(rows.number)) + " is not a number",
                                     "the set fails", true));
        }
    }
}

std::vector<std::string> LoadWarnings(const AdapterMember& member, const standins::LoadedTable& loaded,
                                      std::string_view shown) {
    std::vector<std::string> warnings;
    const std::string file(shown);
    if (loaded.utf8Line != 0)
        warnings.push_back(file + ":" + std::to_string(loaded.utf8Line) +
                           ": the records are UTF-8 with characters of more than one byte; the adapter reads code "
                           "page 1252 bytes, so --encoding utf-8 converts them");
    const bool wantsCells = member.table->form == TableForm::Cells;
    if (wantsCells != static_cast<bool>(loaded.cells))
        warnings.push_back(std::string(member.name) + " reads " + (wantsCells ? "a cell table (.tsv)" : "records") +
                           ", but " + file + " is " + (loaded.cells ? "a cell table" : "a record table") +
                           ": the adapter finds no table it can read and sends nothing");
    return warnings;
}

}  // namespace tessel
