#include "support/AdapterFixture.h"

#include <algorithm>

#include "control/ChartMembers.h"
#include "control/TesselAdapterCtrl.h"
#include "links/TemplateStore.h"
#include "platform/Automation.h"
#include "platform/DispatchDriver.h"
#include "platform/LiveCounts.h"
#include "standins/ChartTrace.h"
#include "standins/Utf8.h"

namespace testing_support {

std::string Record(std::initializer_list<std::pair<int, std::string_view>> fields) {
    std::string record;
    for (auto [width, text] : fields) {
        std::string field(text.substr(0, width));
        field.resize(width, ' ');
        record += field;
    }
    return record;
}

std::string Utf8(const VARIANT& text) {
    return text.vt == VT_BSTR ? standins::ToUtf8({text.bstrVal, SysStringLen(text.bstrVal)}) : "<not text>";
}

std::string Shown(const VARIANT& value) {
    switch (value.vt) {
        case VT_EMPTY: return "EMPTY";
        case VT_BSTR: return "BSTR:" + Utf8(value);
        case VT_I2: return "I2:" + std::to_string(value.iVal);
        case VT_I4: return "I4:" + std::to_string(value.lVal);
        case VT_BOOL: return "BOOL:" + std::to_string(value.boolVal);
        default: return "VT" + std::to_string(value.vt);
    }
}

std::string Shown(const standins::ChartCall& call) {
    return standins::ChartCallKindName(call.kind) + std::string(" ") + Shown(call.dispid, call.args, call.passed);
}

std::string Shown(DISPID member, std::span<const COleVariant> args, std::span<const VARTYPE> passed) {
    const chart::Member* known = chart::Find(member);
    std::string text = (known ? std::string(known->name) : std::to_string(member)) + "(";
    for (std::size_t i = 0; i < args.size(); ++i) {
        const bool byRef = i < passed.size() && (passed[i] & VT_BYREF);
        text += (i ? ", " : "") + std::string(byRef ? "&" : "") + Shown(args[i]);
    }
    return text + ")";
}

Row Shown(const std::vector<standins::ChartCall>& calls) {
    Row shown;
    for (const standins::ChartCall& call : calls) shown.push_back(Shown(call));
    return shown;
}

std::string Cell(const VARIANT& grid, LONG row, LONG column) {
    LONG index[2] = {row, column};
    COleVariant cell;
    return FAILED(SafeArrayGetElement(grid.parray, index, &cell)) ? "FAILED" : Shown(cell);
}

Row RowCells(const VARIANT& grid, LONG row) {
    Row cells;
    for (LONG column = 0; column < Shape(grid).second; ++column) cells.push_back(Cell(grid, row, column));
    return cells;
}

std::vector<Row> GridRows(const VARIANT& grid) {
    std::vector<Row> rows;
    for (LONG row = 0; row < Shape(grid).first; ++row) rows.push_back(RowCells(grid, row));
    return rows;
}

std::pair<LONG, LONG> Shape(const VARIANT& grid) {
    if (!(grid.vt & VT_ARRAY) || SafeArrayGetDim(grid.parray) != 2) return {-1, -1};
    return {ExtentOf(grid.parray, 1), ExtentOf(grid.parray, 2)};
}

COleSafeArray Grid(const std::vector<std::vector<COleVariant>>& rows, DWORD columns) {
    COleSafeArray grid;
    const DWORD size[2] = {static_cast<DWORD>(rows.size()), columns};
    grid.Create(VT_VARIANT, 2, size);
    for (LONG r = 0; r < static_cast<LONG>(rows.size()); ++r)
        for (LONG c = 0; c < static_cast<LONG>(std::min<std::size_t>(rows[r].size(), columns)); ++c) {
            LONG index[2] = {r, c};
            grid.PutElement(index, static_cast<const VARIANT*>(&rows[r][c]));
        }
    return grid;
}

std::string ChunkRecord(int number, int length, std::string_view data, char fill) {
    std::string record(1026, fill);
    record[0] = static_cast<char>(number);
    record[2] = static_cast<char>(length & 0xFF);
    record[3] = static_cast<char>((length >> 8) & 0xFF);
    record.replace(4, std::min<std::size_t>(data.size(), 1021), data.substr(0, 1021));
    return record;
}

std::string BytesOf(const VARIANT& value) {
    if (value.vt != (VT_ARRAY | VT_UI1)) return "<no bytes>";
    void* data = nullptr;
    SafeArrayAccessData(value.parray, &data);
    std::string bytes(static_cast<const char*>(data), static_cast<std::size_t>(ExtentOf(value.parray, 1)));
    SafeArrayUnaccessData(value.parray);
    return bytes;
}

COleSafeArray ByteArray(std::string_view bytes) {
    COleSafeArray array;
    array.CreateOneDim(VT_UI1, static_cast<DWORD>(bytes.size()), bytes.data());
    return array;
}

ComPtr<standins::HostRecordTable> RecordTable(const std::vector<std::string>& rows) {
    auto table = standins::HostRecordTable::Create();
    for (const std::string& row : rows) table->AddRow(row);
    return table;
}

Row RecordsOf(const standins::HostRecordTable& table) {
    Row rows;
    for (std::size_t r = 1; r <= table.RowCount(); ++r) rows.emplace_back(table.Row(r));
    return rows;
}

COleVariant Text(std::string_view text) {
    const OleString wide(text.begin(), text.end());
    return COleVariant(wide.c_str(), static_cast<UINT>(wide.size()));
}

COleVariant Null() {
    COleVariant null;
    null.vt = VT_NULL;
    return null;
}

void LeakCheckedTest::SetUp() {
    ASSERT_EQ(standins::LiveObjects(), 0) << "a stand-in outlived an earlier test";
    bstrs_ = platform::LiveBstrCount();
    arrays_ = platform::LiveArrayCount();
}

void LeakCheckedTest::TearDown() {
    CTemplateStore::DiscardAll();
    EXPECT_EQ(standins::LiveObjects(), 0) << "stand-ins leaked";
    EXPECT_EQ(platform::LiveBstrCount(), bstrs_) << "strings leaked";
    EXPECT_EQ(platform::LiveArrayCount(), arrays_) << "arrays leaked";
}

void ControlHost::Open() {
    control_.Attach(new CTesselAdapterCtrl);
    chart_ = standins::ChartStandIn::Create();
}

DISPID IdOf(IDispatch& object, const char* member) {
    OleString name(member, member + std::char_traits<char>::length(member));
    LPOLESTR names[1] = {name.data()};
    DISPID id = DISPID_UNKNOWN;
    EXPECT_EQ(object.GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), S_OK) << member;
    return id;
}

std::optional<std::string> ReadText(const OleString& path, const OleString& name) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return std::nullopt;
    OLECHAR text[1024] = {};
    DWORD bytes = sizeof text;
    DWORD type = REG_NONE;
    const LSTATUS status = RegQueryValueExW(key, name.empty() ? nullptr : name.c_str(), nullptr, &type,
                                            reinterpret_cast<BYTE*>(text), &bytes);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) return kNoValue;
    EXPECT_EQ(type, DWORD{REG_SZ}) << standins::ToUtf8(path);
    return standins::ToUtf8(text);
}

Outcome ControlHost::Invoke(const char* member, WORD flags, std::vector<COleVariant> args) {
    const std::vector<VARIANT> values(args.begin(), args.end());  // shallow: args keeps ownership
    DispatchResult call = DispatchDriver(control_.Get(), InterfaceTraits<IDispatch>::Id())
                              .TryInvoke(IdOf(*control_.Get(), member), flags, values);
    const bool raised = call.hr == DISP_E_EXCEPTION;
    return {call.hr, raised ? call.code : S_OK, raised ? standins::ToUtf8(call.description) : "", std::move(call.value),
            call.argErr};
}

}  // namespace testing_support
