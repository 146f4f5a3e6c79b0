// tessel_sample: writes a record file of realistic rows (SampleRecords.h) for
// running tessel on large tables, and prints the size of the grid those rows
// fill: elements x sizeof(VARIANT) plus each string's block (length prefix,
// characters, NUL).
//
// Usage: tessel_sample PROPERTY ROWS FILE   (PROPERTY: Objectives, Strategies,
// Perspectives or Links; layout 310)
#include <charconv>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "SampleRecords.h"
#include "links/Links.h"
#include "platform/VariantGrid.h"
#include "scorecard/Objectives.h"
#include "scorecard/Perspectives.h"
#include "scorecard/Strategies.h"
#include "standins/TableFiles.h"

namespace {

std::size_t GridBytes(const COleSafeArray& grid) {
    const CVariantGrid cells(grid);
    std::size_t bytes = static_cast<std::size_t>(cells.Rows()) * static_cast<std::size_t>(cells.Columns()) * sizeof(VARIANT);
    for (LONG column = 0; column < cells.Columns(); ++column)
        for (LONG row = 0; row < cells.Rows(); ++row)
            if (const VARIANT& cell = cells.At(row, column); cell.vt == VT_BSTR && cell.bstrVal)
                bytes += sizeof(DWORD) + SysStringByteLen(cell.bstrVal) + sizeof(OLECHAR);
    return bytes;
}

// The size of the grid the table fills, 0 when the fill fails.
template <const RecordLayouts& Layouts>
std::size_t FilledGridBytes(ComPtr<IHostTable> table) {
    CRecordTable<Layouts> grid;
    return grid.Fill310(std::move(table)) ? GridBytes(grid) : 0;
}

struct Sampled {
    const char* name;
    const RecordLayouts& layouts;
    std::size_t (*gridBytes)(ComPtr<IHostTable>);
};
constexpr Sampled kSampled[] = {
    {"Objectives", objectives::kLayouts, &FilledGridBytes<objectives::kLayouts>},
    {"Strategies", strategies::kLayouts, &FilledGridBytes<strategies::kLayouts>},
    {"Perspectives", perspectives::kLayouts, &FilledGridBytes<perspectives::kLayouts>},
    {"Links", links::kLayouts, &FilledGridBytes<links::kLayouts>},
};

}  // namespace

int main(int argc, char** argv) {
    std::size_t rows = 0;
    const std::string_view count = argc == 4 ? argv[2] : "";
    const Sampled* sampled = nullptr;
    for (const Sampled& s : kSampled)
        if (argc == 4 && std::strcmp(argv[1], s.name) == 0) sampled = &s;
    if (!sampled || std::from_chars(count.data(), count.data() + count.size(), rows).ec != std::errc() || rows == 0) {
        std::fprintf(stderr, "usage: tessel_sample Objectives|Strategies|Perspectives|Links ROWS FILE\n");
        return 2;
    }
    const FillLayout& layout = *sampled->layouts.fill310;
    const ComPtr<standins::HostRecordTable> table = bench::SampleTable(layout, rows);
    standins::SaveRecordTable(*table, argv[3], argv[3]);
    std::printf("%zu\n", sampled->gridBytes(table));
    return 0;
}
