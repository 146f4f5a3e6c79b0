// The cell-table file loader, as a table and as a chart grid.
#include "fuzz/FuzzInput.h"
#include "standins/TableFiles.h"

using namespace fuzzing;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const LeakGuard guard;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    try {
        standins::CellTableFromBytes(bytes, "fuzz.tsv");
    } catch (const standins::TableFileError&) {
    }
    try {
        COleSafeArray grid;
        standins::CellGridFromBytes(bytes, "fuzz.tsv", grid);
    } catch (const standins::TableFileError&) {
    }
    return 0;
}
