// The benchmark families of the one binary, registered in the order they run.
#pragma once

namespace bench {

void RegisterRecordBenchmarks();  // Cold/Fill, Fill, WriteBack and their Floor/
void RegisterTreeBenchmarks();    // Fill/MeasureData
void RegisterBlobBenchmarks();    // Fill/Blob, WriteBack/Blob beside Memcpy

}  // namespace bench
