// Malformed calls reach every dispatch object here through the one member
// engine, and each gets the code the runtime's own dispatcher gives it.
#include <functional>
#include <vector>

#include "StandInTest.h"
#include "control/ChartMembers.h"
#include "control/TesselAdapterCtrl.h"
#include "platform/ExcepInfo.h"
#include "standins/ChartStandIn.h"
#include "standins/HostCellTable.h"
#include "standins/registered/RegisteredCellTable.h"
#include "standins/registered/RegisteredChart.h"
#include "standins/registered/RegisteredRecordTable.h"

namespace {

using standins::ChartStandIn;
using standins::HostCellTable;
using standins::RegisteredCellTable;
using standins::RegisteredChart;
using standins::RegisteredRecordTable;

// An object and one well-formed call of a member taking arguments, in parameter order.
struct Target {
    const char* name;
    std::function<ComPtr<IDispatch>()> make;
    DISPID member;
    WORD flags;
    std::vector<COleVariant> args;
};

ComPtr<IDispatch> Control() {
    ComPtr<IDispatch> control;
    control.Attach(new CTesselAdapterCtrl);
    return control;
}

// How a row spoils the well-formed call.
enum class Spoil {
    None,
    NoParamBlock,     // null DISPPARAMS
    NoArgArray,       // arguments counted, rgvarg null
    ExtraArg,         // one argument too many
    MissingArg,       // the last argument left out
    UnknownNamedArg,  // the last argument named by a DISPID no parameter has
    NoNameArray,      // a named argument counted, rgdispidNamedArgs null
    NullReference,    // the first argument by reference to nothing
    Reference,        // the first argument by reference to its value
    UnknownMember,    // a DISPID the object does not have
    OtherInterface,   // riid other than IID_NULL
    UnknownName,      // GetIDsOfNames of a name the object does not have
};

constexpr UINT kUntouched = 77;
constexpr UINT kFirstParameter = 78;  // the first parameter's slot, rgvarg[cArgs - 1]

struct Row { Spoil spoil; HRESULT hr; UINT argErr = kUntouched; };

HRESULT Call(IDispatch& object, const Target& target, Spoil spoil, UINT& argErr) {
    if (spoil == Spoil::UnknownName) {
        OLECHAR name[] = OLESTR("NoSuchMember");
        LPOLESTR names[] = {name};
        DISPID id = 0;
        const HRESULT hr = object.GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
        EXPECT_EQ(id, DISPID_UNKNOWN);
        return hr;
    }
    std::vector<VARIANT> args;  // shallow views, in rgvarg order; target.args owns the values
    for (auto arg = target.args.rbegin(); arg != target.args.rend(); ++arg) args.push_back(*arg);
    VARIANT reference;
    if (spoil == Spoil::ExtraArg) args.insert(args.begin(), COleVariant(LONG{1}));
    if (spoil == Spoil::MissingArg) args.erase(args.begin());
    if (spoil == Spoil::NullReference || spoil == Spoil::Reference) {
        reference.vt = spoil == Spoil::Reference ? VT_BYREF | VT_VARIANT : VT_BYREF | args.back().vt;
        reference.pvarVal = spoil == Spoil::Reference ? const_cast<COleVariant*>(&target.args.front()) : nullptr;
        args.back() = reference;
    }
    DISPID named = 99;
    DISPPARAMS params{args.data(), nullptr, static_cast<UINT>(args.size()), 0};
    if (spoil == Spoil::NoArgArray) params.rgvarg = nullptr;
    if (spoil == Spoil::UnknownNamedArg || spoil == Spoil::NoNameArray) params.cNamedArgs = 1;
    if (spoil == Spoil::UnknownNamedArg) params.rgdispidNamedArgs = &named;
    const DISPID member = spoil == Spoil::UnknownMember ? 9999 : target.member;
    const IID& riid = spoil == Spoil::OtherInterface ? IID_IDispatch : IID_NULL;
    COleVariant result;
    ExcepInfo info;
    return object.Invoke(member, riid, LOCALE_USER_DEFAULT, target.flags,
                         spoil == Spoil::NoParamBlock ? nullptr : &params, &result, &info, &argErr);
}

using MalformedCallTest = StandInTest;

TEST_F(MalformedCallTest, EveryDispatchObjectAnswersTheRuntimesCodes) {
    constexpr WORD kMethod = DISPATCH_METHOD, kGet = DISPATCH_PROPERTYGET;
    const Target targets[] = {
        {"control", Control, 52, kMethod, {COleVariant(SHORT{310}, VT_I2)}},  // SetVersion(version)
        {"registered record table", [] { return RegisteredRecordTable::Create(); }, 1000, kMethod,
         {COleVariant(OLESTR("record"))}},  // Add(record)
        {"registered cell table", [] { return RegisteredCellTable::Create(); }, 1000, kMethod,
         {COleVariant(LONG{2}), COleVariant(LONG{3})}},  // Resize(rows, columns)
        {"registered chart", [] { return RegisteredChart::Create(); }, 1002, kMethod,
         {COleVariant(LONG{5}), COleVariant(LONG{1})}},  // Answer(dispid, value)
        {"host cell table", [] { return HostCellTable::Create(2, 2); }, IHostCellTable::kCell, kGet,
         {COleVariant(LONG{1}), COleVariant(LONG{2})}},  // Cell(row, column)
        {"chart", [] { return ChartStandIn::Create(); }, chart::kShowContextMenuItem, kMethod,
         {COleVariant(LONG{4})}},  // ShowContextMenuItem(item)
    };
    const Row rows[] = {
        {Spoil::None, S_OK},
        {Spoil::NoParamBlock, E_INVALIDARG},
        {Spoil::NoArgArray, E_INVALIDARG},
        {Spoil::ExtraArg, DISP_E_BADPARAMCOUNT},
        {Spoil::MissingArg, DISP_E_BADPARAMCOUNT},
        {Spoil::UnknownNamedArg, DISP_E_PARAMNOTFOUND, 0},
        {Spoil::NoNameArray, E_INVALIDARG},
        {Spoil::NullReference, DISP_E_TYPEMISMATCH, kFirstParameter},
        {Spoil::Reference, S_OK},
        {Spoil::UnknownMember, DISP_E_MEMBERNOTFOUND},
        {Spoil::OtherInterface, DISP_E_UNKNOWNINTERFACE},
        {Spoil::UnknownName, DISP_E_UNKNOWNNAME},
    };
    for (const Target& target : targets) {
        const ComPtr<IDispatch> object = target.make();
        ASSERT_TRUE(object) << target.name;
        for (const Row& row : rows) {
            SCOPED_TRACE(testing::Message() << target.name << ", spoil " << static_cast<int>(row.spoil));
            UINT argErr = kUntouched;
            EXPECT_EQ(Call(*object, target, row.spoil, argErr), row.hr);
            const UINT first = static_cast<UINT>(target.args.size()) - 1;
            EXPECT_EQ(argErr, row.argErr == kFirstParameter ? first : row.argErr);
        }
    }
}

}  // namespace
