// Checks a host table file against a table property without running the
// control: every record (or cell row) is read the way the member's layout at
// that version reads it, and whatever the control would read differently
// from what the host most likely meant is a finding.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "standins/TableFiles.h"
#include "tables/RecordLayout.h"
#include "tools/AdapterMembers.h"

namespace tessel {

struct Finding {
    long line = 1;        // from 1
    long column = 1;      // from 1: the byte of a record, the cell of a cell row
    std::string field;    // "sequence number", "cell 2", or what the finding is about: "record", "file", "table"
    long offset = -1;     // a record field's place, shown after its name
    long width = 0;
    std::string message;  // "'FI' is not a number"
    std::string outcome;  // what the control makes of it: "the control reads 0, which names no row"
    bool fatal = false;   // the set of the table fails on it

    // FILE:LINE:COLUMN: field (offset, width): message; outcome
    std::string Line(std::string_view file) const;
    // "field message", for a summary that names where a set stopped.
    std::string Brief() const;
};

// The findings of a file, the first kKept of them in line order, and how
// many there are: a binary file given by mistake has some in every record.
struct Findings {
    static constexpr std::size_t kKept = 1000;
    std::vector<Finding> kept;
    std::size_t total = 0;

    void push_back(Finding finding) {
        ++total;
        if (kept.size() < kKept) kept.push_back(std::move(finding));
    }
};

class TableCheck {
public:
    TableCheck(const AdapterMember& member, SHORT version, standins::Encoding encoding)
        : member_(member), version_(version), encoding_(encoding) {}

    // The findings of the file, in line order; a file that cannot be read at
    // all is a standins::TableFileError.
    Findings Check(const std::filesystem::path& file, std::string_view shown) const;

    // The findings of one record of a loaded record table (line from 1), for
    // the summary of a set that failed there.
    std::vector<Finding> CheckRecord(const standins::HostRecordTable& table, long line) const;
    // The same for one row of a cell table.
    std::vector<Finding> CheckCellRow(const standins::HostCellTable& table, long row) const;

private:
    void CheckRecords(const standins::HostRecordTable& table, Findings& findings) const;
    void CheckChunks(const standins::HostRecordTable& table, Findings& findings) const;
    void CheckCells(const standins::HostCellTable& table, Findings& findings) const;
    void CheckRecordAt(const FillLayout& layout, std::string_view record, long line, long rows,
                       std::vector<long>* rowLines, Findings& findings) const;
    void CheckCellRowInto(const standins::HostCellTable& table, long row, Findings& findings) const;

    const AdapterMember& member_;
    SHORT version_;
    standins::Encoding encoding_;
};

// What a session or grid says about a table it hands over that the adapter
// accepts but most likely not as meant: a table of the wrong form for the
// member, a record file in UTF-8.
std::vector<std::string> LoadWarnings(const AdapterMember& member, const standins::LoadedTable& loaded,
                                      std::string_view shown);

}  // namespace tessel
