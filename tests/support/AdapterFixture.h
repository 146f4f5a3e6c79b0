// The fixture every adapter test stands on: a control driven as the host
// drives it, a chart stand-in, and a check that nothing outlives the test.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/ComPtr.h"
#include "platform/OleSafeArray.h"
#include "platform/OleVariant.h"
#include "standins/ChartStandIn.h"
#include "standins/HostCellTable.h"
#include "standins/HostRecordTable.h"

namespace testing_support {

// What the host sees of one Invoke.
struct Outcome {
    HRESULT hr = S_OK;
    HRESULT scode = S_OK;          // EXCEPINFO.scode when hr is DISP_E_EXCEPTION
    std::string description;       // EXCEPINFO.bstrDescription, UTF-8
    COleVariant value;
    UINT argErr = 0;

    bool Ok() const { return hr == S_OK; }
    // The code the member failed with, as a host reads it.
    HRESULT Code() const { return hr == DISP_E_EXCEPTION ? scode : hr; }
};

// Texts in order: a grid row's cells, a table's records, the chart's calls.
using Row = std::vector<std::string>;

// A record of (width, text) fields, each text blank-padded or cut to its width.
std::string Record(std::initializer_list<std::pair<int, std::string_view>> fields);

// A string variant's text as UTF-8; "<not text>" for any other value.
std::string Utf8(const VARIANT& text);

// A readable value: "BSTR:Finance", "I2:99", "I4:7", "BOOL:-1", "EMPTY".
std::string Shown(const VARIANT& value);
// A chart call: "call Font(BSTR:Arial, I2:48, I2:48)", "put FontHeight(I4:10)",
// "get Blob()"; an argument passed by reference shows as "&I4:0".
std::string Shown(const standins::ChartCall& call);
// The same without the kind; `passed` marks the arguments passed by reference.
std::string Shown(DISPID member, std::span<const COleVariant> args, std::span<const VARTYPE> passed = {});
Row Shown(const std::vector<standins::ChartCall>& calls);
// A grid cell, as Shown shows it.
std::string Cell(const VARIANT& grid, LONG row, LONG column);
// Every cell of a grid row, as Cell shows them, and every row of a grid.
Row RowCells(const VARIANT& grid, LONG row);
std::vector<Row> GridRows(const VARIANT& grid);
// Rows x columns of a 2-D grid.
std::pair<LONG, LONG> Shape(const VARIANT& grid);
// A rows x columns grid of copies of these cells; cells not given stay empty.
COleSafeArray Grid(const std::vector<std::vector<COleVariant>>& rows, DWORD columns);

// A blob chunk record: number, reserved, length (little-endian), up to 1021
// bytes of data, the rest `fill`.
std::string ChunkRecord(int number, int length, std::string_view data, char fill = '\0');
// A byte array's bytes ("<no bytes>" for any other value), and a byte array of bytes.
std::string BytesOf(const VARIANT& value);
COleSafeArray ByteArray(std::string_view bytes);

// A record table holding these rows, and the rows a record table holds.
ComPtr<standins::HostRecordTable> RecordTable(const std::vector<std::string>& rows);
Row RecordsOf(const standins::HostRecordTable& table);

// A string variant of this ASCII text (NULs included).
COleVariant Text(std::string_view text);
// VT_NULL, which has no text form.
COleVariant Null();

// A member's dispid, found by name as a script client finds it (or failing).
DISPID IdOf(IDispatch& object, const char* member);

// A value's text below HKEY_CLASSES_ROOT, read through the registry API as
// on any machine (an empty name: the default); kNoValue without such a
// value, nullopt without the key.
inline constexpr const char* kNoValue = "<no value>";
std::optional<std::string> ReadText(const OleString& path, const OleString& name);

// A test that must leave no stand-in, string or array alive.
class LeakCheckedTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

private:
    long bstrs_ = 0;
    long arrays_ = 0;
};

// A control and a chart stand-in, driven the way the host drives the
// control: IDispatch::Invoke with member names resolved by GetIDsOfNames.
// Open makes both, Close releases them; a test may run one per thread.
class ControlHost {
public:
    void Open();
    void Close() {
        control_.Reset();
        chart_.Reset();
    }

    Outcome Invoke(const char* member, WORD flags, std::vector<COleVariant> args);
    Outcome Put(const char* member, IDispatch* table) { return PutValue(member, COleVariant(table)); }
    Outcome PutValue(const char* member, const VARIANT& value) {
        return Invoke(member, DISPATCH_PROPERTYPUT, {COleVariant(value)});
    }
    Outcome Get(const char* member) { return Invoke(member, DISPATCH_PROPERTYGET, {}); }
    Outcome Call(const char* member, std::vector<COleVariant> args = {}) {
        return Invoke(member, DISPATCH_METHOD, std::move(args));
    }
    Outcome Attach() { return Call("HandleTesselCtrl", {COleVariant(static_cast<IDispatch*>(chart_.Get()))}); }
    Outcome PutRecords(const char* member, const std::vector<std::string>& rows) {
        return Put(member, RecordTable(rows).Get());
    }
    Outcome SetVersion(SHORT version) { return Call("SetVersion", {COleVariant(version, VT_I2)}); }
    // Puts table into member at version, the chart's calls cleared first.
    Outcome PutAt(SHORT version, const char* member, IDispatch* table) {
        EXPECT_TRUE(SetVersion(version).Ok());
        chart_->ClearCalls();
        return Put(member, table);
    }
    // PutAt a record table of these rows, the chart's property emptied first;
    // returns what the property then holds.
    COleVariant PutAndRead(SHORT version, const char* member, const std::vector<std::string>& rows, DISPID property) {
        chart_->SetProperty(property, COleVariant());
        last_ = PutAt(version, member, RecordTable(rows).Get());
        return chart_->PropertyValue(property);
    }
    Outcome last_;  // of PutAndRead

    // Lends member a table of one stale row, to be written back (data flag 0).
    ComPtr<standins::HostRecordTable> Lend(const char* member) {
        auto table = standins::HostRecordTable::Create({"stale row"});
        table->SetDataFlag(0);
        EXPECT_TRUE(Put(member, table.Get()).Ok()) << member;
        return table;
    }

    // Chart calls of one kind and dispid, in order.
    std::vector<const standins::ChartCall*> ChartCalls(standins::ChartCall::Kind kind, DISPID id) const {
        std::vector<const standins::ChartCall*> found;
        for (const standins::ChartCall& call : chart_->Calls())
            if (call.kind == kind && call.dispid == id) found.push_back(&call);
        return found;
    }

    ComPtr<IDispatch> control_;
    ComPtr<standins::ChartStandIn> chart_;
};

class AdapterFixture : public LeakCheckedTest, public ControlHost {
protected:
    void SetUp() override {
        LeakCheckedTest::SetUp();
        Open();
    }
    void TearDown() override {
        Close();
        LeakCheckedTest::TearDown();
    }
};

// The fixture with the chart attached and the attach's own calls cleared.
class AttachedFixture : public AdapterFixture {
protected:
    void SetUp() override {
        AdapterFixture::SetUp();
        ASSERT_TRUE(Attach().Ok());
        chart_->ClearCalls();
    }
};

}  // namespace testing_support
