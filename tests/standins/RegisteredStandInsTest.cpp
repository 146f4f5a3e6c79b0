// The registered stand-ins as script clients drive them (names in any case, VT_I2,
// VT_BYREF|VT_VARIANT and text for numbers), as the adapter sees them, and the module's registration.
#include <cstdio>
#include <string>
#include <vector>

#include "StandInTest.h"
#include "platform/DispatchDriver.h"
#include "platform/posix/RegistryStore.h"
#include "standins/Utf8.h"
#include "standins/registered/RegisteredCellTable.h"
#include "standins/registered/RegisteredChart.h"
#include "standins/registered/RegisteredRecordTable.h"
#include "standins/registered/StandInsModule.h"

using namespace standins;
using testing_support::Shown;

namespace {

using RegisteredStandInsTest = StandInTest;

constexpr WORD kRead = DISPATCH_METHOD | DISPATCH_PROPERTYGET;  // what script clients send
constexpr WORD kCall = DISPATCH_METHOD, kPut = DISPATCH_PROPERTYPUT;

// One call by member name: the result as Shown() writes it, or the failure's
// description, with the code the client sees (EXCEPINFO's scode).
struct Step {
    const char* member;  // in the letter case a script might use
    WORD flags;
    std::vector<COleVariant> args;  // parameter order, a put's value last
    HRESULT code;
    std::string text;
};

void RunSteps(IDispatch* target, const std::vector<Step>& steps) {
    for (const Step& step : steps) {
        SCOPED_TRACE(step.member);
        const DispatchResult r = CallRaw(target, testing_support::IdOf(*target, step.member), step.flags, step.args);
        EXPECT_EQ(r.code, step.code);
        EXPECT_EQ(r.Ok() ? Shown(r.value) : ToUtf8(r.description), step.text);
    }
}

COleVariant Short(SHORT value) { return COleVariant(value); }
COleVariant Text(const char16_t* text) { return COleVariant(text); }

TEST_F(RegisteredStandInsTest, RecordTableMembers) {
    auto table = RegisteredRecordTable::Create();
    COleVariant variable(u"by reference");
    RunSteps(table.Get(), {
        {"add", kCall, {ByRef(VT_VARIANT, &variable)}, S_OK, "EMPTY"},
        {"ADD", kCall, {Text(u"caf\u00e9 \u20ac")}, S_OK, "EMPTY"},
        {"Item", kRead, {Text(u"0")}, S_OK, "BSTR:by reference"},
        {"Item", kRead, {Short(-1)}, DISP_E_BADINDEX, "Item: no record with this index"},
        {"Item", kRead, {Text(u"first")}, DISP_E_TYPEMISMATCH, "Type mismatch"},
        {"dataflag", kPut, {Short(0)}, S_OK, "EMPTY"},
        {"Count", kPut, {Short(7)}, CTL_E_SETNOTSUPPORTED, "Property is read-only"},
    });
    // What the adapter reads: the record in code page 1252, the flag as put.
    EXPECT_EQ(table->Row(2), "caf\xE9 \x80");
    LONG flag = -1;
    EXPECT_EQ(table->GetDataFlag(&flag), S_OK);
    EXPECT_EQ(flag, 0);
    RunSteps(table.Get(), {{"Clear", kCall, {}, S_OK, "EMPTY"}, {"Count", kRead, {}, S_OK, "I4:0"}});
}

TEST_F(RegisteredStandInsTest, CellTableMembers) {
    auto table = RegisteredCellTable::Create();
    LONG row = 1;
    RunSteps(table.Get(), {
        {"Resize", kCall, {Short(2), Short(3)}, S_OK, "EMPTY"},
        {"Rows", kRead, {}, S_OK, "I4:2"},
        {"columns", kRead, {}, S_OK, "I4:3"},
        {"Cell", kPut, {ByRef(VT_I4, &row), Short(2), Text(u"OBJ01")}, S_OK, "EMPTY"},
        {"Cell", kPut, {Short(0), Short(0), COleVariant(LONG{42})}, S_OK, "EMPTY"},
        {"Cell", kRead, {Short(0), Short(1)}, S_OK, "EMPTY"},
        {"Cell", kRead, {Short(2), Short(0)}, DISP_E_BADINDEX, "Cell: no cell at this row and column"},
        {"Cell", kPut, {Short(0), Short(3), Short(1)}, DISP_E_BADINDEX, "Cell: no cell at this row and column"},
        {"Resize", kCall, {Short(-1), Short(1)}, E_INVALIDARG, "Resize: rows and columns cannot be negative"},
    });
    // A script counts rows and columns from 0, the host's table from 1.
    EXPECT_EQ(Shown(table->Cell(2, 3)), "BSTR:OBJ01");
}

TEST_F(RegisteredStandInsTest, ChartAnswersFailsAndTracesTheAdaptersCalls) {
    auto chart = RegisteredChart::Create();
    RunSteps(chart.Get(), {
        {"Answer", kCall, {Short(73), Text(u"plan")}, S_OK, "EMPTY"},
        {"Answer", kCall, {Short(1), Short(7)}, S_OK, "EMPTY"},
        {"FailNext", kCall, {Short(3), COleVariant(LONG{E_ACCESSDENIED}), Text(u"no room")}, S_OK, "EMPTY"},
        {"FailNext", kCall, {Short(1000), Short(1), Text(u"")}, E_INVALIDARG, "not a chart member the adapter calls"},
        {"SelectedStrategy", kCall, {}, S_OK, "BSTR:plan"},
        {"PresentationMode", DISPATCH_PROPERTYGET, {}, S_OK, "I2:7"},  // as the client gave it
        {"Perspectives", kPut, {Short(1)}, E_ACCESSDENIED, "no room"},
        {"Perspectives", kPut, {Text(u"ok")}, S_OK, "EMPTY"},
        {"Trace", kRead, {}, S_OK,
         "BSTR:{\"chart\":\"call\",\"dispid\":73,\"args\":[]}\n"
         "{\"chart\":\"get\",\"dispid\":1,\"args\":[]}\n"
         "{\"chart\":\"put\",\"dispid\":3,\"args\":[{\"vt\":\"I2\",\"v\":1}]}\n"
         "{\"chart\":\"put\",\"dispid\":3,\"args\":[{\"vt\":\"BSTR\",\"v\":\"ok\"}]}\n"},
        {"ClearTrace", kCall, {}, S_OK, "EMPTY"},
        {"trace", kRead, {}, S_OK, "BSTR:"},
    });
}

// The class identifier as the registry writes it, "{XXXXXXXX-XXXX-...}".
CLSID ClassIdFrom(const std::string& text) {
    unsigned part[11] = {};
    std::sscanf(text.c_str(), "{%8x-%4x-%4x-%2x%2x-%2x%2x%2x%2x%2x%2x}", &part[0], &part[1], &part[2], &part[3],
                &part[4], &part[5], &part[6], &part[7], &part[8], &part[9], &part[10]);
    CLSID id{part[0], static_cast<WORD>(part[1]), static_cast<WORD>(part[2]), {}};
    for (int i = 0; i < 8; ++i) id.Data4[i] = static_cast<BYTE>(part[3 + i]);
    return id;
}

// A made object keeps the module loaded while it lives. The registry is
// emptied first and last, before the leak check.
TEST_F(RegisteredStandInsTest, TheModuleRegistersEachClassAndMakesItFromItsFactory) {
    platform::ClearRegistry();
    ASSERT_EQ(theStandIns.RegisterServer(), S_OK);
    for (const char16_t* progId : {u"Tessel.RecordTable", u"Tessel.CellTable", u"Tessel.Chart", u"Tessel.HostEnvironment"}) {
        SCOPED_TRACE(ToUtf8(progId));
        const auto clsidText = testing_support::ReadText(std::u16string(progId) + u"\\CLSID", u"");
        ASSERT_TRUE(clsidText.has_value());
        const OleString classKey = u"CLSID\\" + OleString(clsidText->begin(), clsidText->end());
        EXPECT_EQ(testing_support::ReadText(classKey + u"\\ProgID", u""), ToUtf8(progId));
        EXPECT_EQ(testing_support::ReadText(classKey + u"\\InprocServer32", u"ThreadingModel"), "Apartment");

        const CLSID clsid = ClassIdFrom(*clsidText);
        ComPtr<IClassFactory> factory;
        ASSERT_EQ(theStandIns.GetClassObject(clsid, IID_IClassFactory, factory.ReceiveVoid()), S_OK);
        ComPtr<IUnknown> made;
        ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, made.ReceiveVoid()), S_OK);
        factory.Reset();
        EXPECT_EQ(theStandIns.CanUnloadModule(), S_FALSE);
        made.Reset();
        EXPECT_EQ(theStandIns.CanUnloadModule(), S_OK);
    }
    EXPECT_EQ(theStandIns.UnregisterServer(), S_OK);
    EXPECT_EQ(platform::RegistryKeyPaths(), std::vector<std::u16string>{u"CLSID"});
    platform::ClearRegistry();
}

}  // namespace
