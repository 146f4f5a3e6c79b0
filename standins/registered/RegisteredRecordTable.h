// Tessel.RecordTable: a host record table that script and C++ clients fill
// and read by name. The adapter reaches the same object through IHostTable
// and its row store, as it reaches any HostRecordTable.
#pragma once

#include <span>

#include "standins/HostRecordTable.h"
#include "standins/registered/ScriptMembers.h"

namespace standins {

class RegisteredRecordTable final : public Scripted<HostRecordTable, RegisteredRecordTable> {
public:
    static constexpr LPCOLESTR kSource = OLESTR("Tessel.RecordTable");
    static std::span<const ScriptMember<RegisteredRecordTable>> Members();

private:
    friend Scripted;  // Scripted::Create makes the objects
    RegisteredRecordTable() = default;

    // Add(record As String): one record, its characters as code page bytes.
    COleVariant Add(const VARIANT& record);
    // Item(i): record i, from 0.
    COleVariant Item(LONG index) const;
};

}  // namespace standins
