// Tessel.CellTable: a host cell table that script and C++ clients size and
// fill by name, cells from 0. The adapter reads the same object through the
// host's own members (rows and columns from 1), as any HostCellTable.
#pragma once

#include <span>

#include "standins/HostCellTable.h"
#include "standins/registered/ScriptMembers.h"

namespace standins {

class RegisteredCellTable final : public Scripted<HostCellTable, RegisteredCellTable> {
public:
    static constexpr LPCOLESTR kSource = OLESTR("Tessel.CellTable");
    static std::span<const ScriptMember<RegisteredCellTable>> Members();

private:
    friend Scripted;  // Scripted::Create makes the objects
    RegisteredCellTable() = default;

    void Resize(LONG rows, LONG columns);
    // Raises DISP_E_BADINDEX for a cell outside the table.
    void CheckCell(LONG row, LONG column) const;
};

}  // namespace standins
