#include "SampleRecords.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "links/Blob.h"
#include "platform/OleVariant.h"

namespace bench {
namespace {

// Deterministic, so every run and every benchmark sees the same records.
std::uint64_t Mix(std::uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

constexpr std::array<std::string_view, 16> kWords = {
    "Raise", "the",  "operating", "margin", "Customer", "retention", "Caf\xE9",     "cost",
    "per",   "unit", "\x80",      "growth", "Na\xEFve", "quality",   "\x93new\x94", "market",
};

void PutText(std::string& record, const FieldSpec& f, std::uint64_t seed) {
    // About two-thirds full, give or take a character.
    const std::size_t around = f.width * 2 / 3 + seed % 3;
    const std::size_t wanted = std::clamp<std::size_t>(around > 0 ? around - 1 : 0, 1, f.width);
    std::string text;
    for (std::uint64_t s = seed; text.size() < wanted; s = Mix(s)) {
        if (!text.empty()) text += ' ';
        text += kWords[s % kWords.size()];
    }
    text.resize(wanted);
    if (text.back() == ' ') text.back() = 'x';  // the length stays the one chosen
    record.replace(f.offset, text.size(), text);
}

void PutNumber(std::string& record, const FieldSpec& f, std::uint64_t seed) {
    const std::size_t digits = 1 + seed % f.width;
    std::string number;
    for (std::size_t d = 0; d < digits; ++d, seed /= 10) number += static_cast<char>('0' + seed % 10);
    if (digits > 1 && number[0] == '0') number[0] = '1';
    record.replace(f.offset, number.size(), number);
}

void PutRowNumber(std::string& record, const FieldSpec& f, std::size_t index, std::size_t rows) {
    std::size_t widest = 1;  // 99 for a field of two digits
    for (int d = 0; d < f.width; ++d) widest *= 10;
    const std::size_t limit = std::max<std::size_t>(std::min(widest - 1, rows), 1);
    const std::string number = std::to_string(index % limit + 1);
    record.replace(f.offset, number.size(), number);
}

}  // namespace

std::string SampleRecord(const FillLayout& layout, std::size_t index, std::size_t rows) {
    std::string record(layout.recordLength, ' ');
    for (std::size_t i = 0; i < layout.fields.size(); ++i) {
        const FieldSpec& f = layout.fields[i];
        const std::uint64_t seed = Mix(index * 64 + i);
        switch (f.use) {
            case FieldUse::Skip:
            case FieldUse::Key:
            case FieldUse::Text: PutText(record, f, seed); break;
            case FieldUse::Long:
            case FieldUse::Short: PutNumber(record, f, seed); break;
            case FieldUse::Row: PutRowNumber(record, f, index, rows); break;
            case FieldUse::Digit: record[f.offset] = static_cast<char>('0' + seed % 10); break;
            case FieldUse::Marker:
            case FieldUse::Flag: record[f.offset] = seed % 2 ? 'X' : ' '; break;
        }
    }
    return record;
}

ComPtr<standins::HostRecordTable> SampleTable(const FillLayout& layout, std::size_t rows) {
    auto table = standins::HostRecordTable::Create();
    for (std::size_t i = 0; i < rows; ++i) table->AddRow(SampleRecord(layout, i, rows));
    return table;
}

ComPtr<standins::HostCellTable> SampleCells(LONG rows, LONG groupRows) {
    constexpr LONG kColumns = 6;
    auto table = standins::HostCellTable::Create(rows, kColumns);
    for (LONG r = 1; r <= rows; ++r) {
        const std::string key = "OBJ" + std::to_string((r - 1) / groupRows);
        const std::string row = "ROW" + std::to_string(r);
        table->SetCell(r, 1, COleVariant::FromAnsi(key.data(), key.size()));
        table->SetCell(r, 2, COleVariant::FromAnsi("Revenue", 7));
        table->SetCell(r, 3, COleVariant::FromAnsi(row.data(), row.size()));
        table->SetCell(r, 4, COleVariant::FromAnsi("Caf\xE9 target", 11));
        table->SetCell(r, 5, COleVariant(r, VT_I4));
        table->SetCell(r, 6, COleVariant(static_cast<SHORT>(r % 1000), VT_I2));
    }
    return table;
}

ComPtr<standins::HostRecordTable> ChunkTable(std::size_t bytes) {
    using namespace blob_chunk;
    auto table = standins::HostRecordTable::Create();
    std::string record(kRecordLength, '\0');
    for (std::size_t offset = 0, chunk = 1; offset < bytes; offset += kDataWidth, ++chunk) {
        const std::size_t length = std::min(kDataWidth, bytes - offset);
        record.assign(kRecordLength, '\0');
        record[kNumberOffset] = static_cast<char>(chunk & 0xFF);
        record[kLengthOffset] = static_cast<char>(length & 0xFF);
        record[kLengthOffset + 1] = static_cast<char>(length >> 8);
        for (std::size_t k = 0; k < length; ++k) record[kDataOffset + k] = static_cast<char>((offset + k) * 131 >> 3);
        table->AddRow(record);
    }
    return table;
}

}  // namespace bench
