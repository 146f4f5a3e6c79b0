// The record-table file loaders, text and chunk forms.
#include "fuzz/FuzzInput.h"
#include "standins/TableFiles.h"

using namespace fuzzing;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const LeakGuard guard;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    try {
        standins::RecordTableFromBytes(bytes, "fuzz.txt");
    } catch (const standins::TableFileError&) {
    }
    try {
        standins::ChunkTableFromBytes(bytes, "fuzz.bin");
    } catch (const standins::TableFileError&) {
    }
    return 0;
}
