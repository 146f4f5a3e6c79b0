// The C++ client of the registered modules: the host session of
// session.vbs, through CoCreateInstance and IDispatch::Invoke. Members are
// found by name, values are passed as a script passes them (2-byte integers,
// objects by reference), and failures are read from EXCEPINFO.
//
// Each check prints its line (ClientReport); the last is "DONE failures=<n>".
#include <string>
#include <string_view>
#include <vector>

#include "platform/ComPtr.h"
#include "platform/DispatchDriver.h"
#include "platform/MemberId.h"
#include "platform/OleVariant.h"
#include "standins/Utf8.h"
#include "tests/wine/BadInput.h"
#include "tests/wine/ClientReport.h"

namespace {

constexpr WORD kRead = DISPATCH_METHOD | DISPATCH_PROPERTYGET;  // what script clients send
constexpr WORD kCall = DISPATCH_METHOD;
constexpr WORD kPut = DISPATCH_PROPERTYPUT;
constexpr WORD kPutRef = DISPATCH_PROPERTYPUTREF;

// A variant's text, in UTF-8.
std::string TextOf(const VARIANT& value) {
    COleVariant text;
    text.ChangeType(VT_BSTR, &value);
    return standins::ToUtf8(standins::TextOf(text.bstrVal));
}

COleVariant Record(std::string_view bytes) { return COleVariant::FromAnsi(bytes.data(), bytes.size()); }
COleVariant Short(SHORT value) { return COleVariant(value); }

// An object reached by member names, as a script reaches it.
class Object {
public:
    static Object Create(LPCOLESTR progId) {
        CLSID clsid{};
        CheckResult(CLSIDFromProgID(progId, &clsid));
        ComPtr<IDispatch> made;
        CheckResult(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, made.ReceiveVoid()));
        return Object(std::move(made));
    }
    explicit Object(ComPtr<IDispatch> target) : target_(std::move(target)) {}

    IDispatch* Get() const noexcept { return target_.Get(); }

    DispatchResult Try(const char* member, WORD flags, const std::vector<COleVariant>& args = {}) const {
        const std::vector<VARIANT> plain(args.begin(), args.end());  // shallow: args keep ownership
        return Driver().TryInvoke(MemberId(*target_.Get(), member), flags, plain);
    }
    // Raises when the member fails.
    COleVariant Call(const char* member, WORD flags, const std::vector<COleVariant>& args = {}) const {
        const std::vector<VARIANT> plain(args.begin(), args.end());
        return Driver().Invoke(MemberId(*target_.Get(), member), flags, plain, VT_VARIANT);
    }
    std::string Text(const char* member, const std::vector<COleVariant>& args = {}) const {
        return TextOf(Call(member, kRead, args));
    }
    void SetRef(const char* member, const Object& value) const {
        Call(member, kPutRef, {COleVariant(value.Get())});
    }

private:
    DispatchDriver Driver() const { return DispatchDriver(target_.Get(), {"IDispatch", &IID_IDispatch}); }

    ComPtr<IDispatch> target_;
};

bool SameObject(IDispatch* a, IDispatch* b) {
    ComPtr<IUnknown> left, right;
    if (a) a->QueryInterface(IID_IUnknown, left.ReceiveVoid());
    if (b) b->QueryInterface(IID_IUnknown, right.ReceiveVoid());
    return left.Get() == right.Get();
}

class Session {
public:
    explicit Session(ClientReport& report) : report_(report) {}

    void Run();

private:
    // The chart's trace: every call the adapter made since the last ClearTrace.
    void CheckTrace(const std::string& name, const Object& chart, const std::string& fragment) {
        const std::string trace = chart.Text("Trace");
        report_.Check(name, trace.find(fragment) != std::string::npos, "\n" + trace, "a call with " + fragment);
    }
    void CheckError(const std::string& name, const DispatchResult& call, HRESULT code, const std::string& text) {
        report_.Compare(name + " (result)", ResultCodeText(call.hr), ResultCodeText(DISP_E_EXCEPTION));
        report_.Compare(name + " (code)", ResultCodeText(call.code), ResultCodeText(code));
        report_.Compare(name + " (description)", standins::ToUtf8(call.description), text);
    }

    static Object Records(const std::vector<std::string_view>& lines) {
        Object table = Object::Create(OLESTR("Tessel.RecordTable"));
        for (std::string_view line : lines) table.Call("Add", kCall, {Record(line)});
        return table;
    }

    ClientReport& report_;
};

void Session::Run() {
    const Object adapter = Object::Create(OLESTR("Vantor.TesselAdapter.1"));
    const Object chart = Object::Create(OLESTR("Tessel.Chart"));

    // ---- Set up: the version as a 2-byte integer, then the chart, which
    // receives the host environment's colours and font.
    adapter.Call("SetVersion", kCall, {Short(310)});
    adapter.Call("HandleTesselCtrl", kCall, {COleVariant(chart.Get())});
    CheckTrace("colours reach the chart", chart,
               R"({"chart":"put","dispid":12,"args":[{"vt":"ARRAY|VARIANT","lbound":[0,0],"dims":[18,2])");
    CheckTrace("the host font reaches the chart", chart,
               R"({"chart":"call","dispid":38,"args":[{"vt":"BSTR","v":"Tahoma"},{"vt":"I2","v":0},{"vt":"I2","v":34}]})");

    // ---- Single values: 42 arrives as VT_I2 and is sent as a long.
    chart.Call("ClearTrace", kCall);
    adapter.Call("PresentationMode", kPut, {Short(42)});
    CheckTrace("PresentationMode = 42 is put as a long", chart,
               R"({"chart":"put","dispid":1,"args":[{"vt":"I4","v":42}]})");
    chart.Call("Answer", kCall, {Short(1), Short(7)});
    report_.Compare("PresentationMode reads the chart", adapter.Text("PresentationMode"), "7");
    chart.Call("Answer", kCall, {Short(73), COleVariant(OLESTR("INTIMACY"))});
    report_.Compare("SelectedStrategy reads the chart", adapter.Text("SelectedStrategy"), "INTIMACY");

    // ---- Record tables, set by reference.
    const Object perspectives = Records({
        " 1FIN       Financial perspective                                       Shareholder value             Financial      1XBLUE      0000000010",
        " 2CUS       Customer perspective                                        Value proposition             Customer       2XGREEN     0000000020",
    });
    const Object objectives = Records({
        "OBJ01     FIN       GROWTH      11X   Increase revenue                                            Revenue                       Revenue        0000000010OWNER-CFO ",
        "OBJ04     CUS       INTIMACY    11X   Raise customer satisfaction                                 Satisfaction                  Satisfaction   0000000040OWNER-CMO ",
    });
    chart.Call("ClearTrace", kCall);
    adapter.SetRef("Perspectives", perspectives);
    CheckTrace("Perspectives fill chart property 3", chart,
               R"({"chart":"put","dispid":3,"args":[{"vt":"ARRAY|VARIANT","lbound":[0,0],"dims":[2,)");
    adapter.SetRef("Objectives", objectives);
    CheckTrace("Objectives fill chart property 4", chart,
               R"({"chart":"put","dispid":4,"args":[{"vt":"ARRAY|VARIANT","lbound":[0,0],"dims":[2,11],"v":[[{"vt":"BSTR","v":"OBJ01"})");

    // ---- A cell table: one indexed put per objective.
    const Object measures = Object::Create(OLESTR("Tessel.CellTable"));
    measures.Call("Resize", kCall, {Short(1), Short(4)});
    measures.Call("Cell", kPut, {Short(0), Short(0), COleVariant(OLESTR("OBJ01"))});
    measures.Call("Cell", kPut, {Short(0), Short(1), COleVariant(LONG{1})});
    measures.Call("Cell", kPut, {Short(0), Short(2), COleVariant(OLESTR("M-REV"))});
    measures.Call("Cell", kPut, {Short(0), Short(3), COleVariant(OLESTR("Revenue"))});
    report_.Compare("a cell reads back", measures.Text("Cell", {Short(0), Short(2)}), "M-REV");
    chart.Call("ClearTrace", kCall);
    adapter.SetRef("MeasureData", measures);
    CheckTrace("MeasureData puts chart property 37 for OBJ01", chart,
               R"({"chart":"put","dispid":37,"args":[{"vt":"BSTR","v":"OBJ01"},{"vt":"ARRAY|VARIANT","lbound":[0,0],"dims":[1,3])");

    // ---- Write-back: lend an empty table the reader keeps, then read it back.
    const Object lent = Object::Create(OLESTR("Tessel.RecordTable"));
    lent.Call("DataFlag", kPut, {Short(0)});
    adapter.SetRef("Objectives", lent);
    const COleVariant back = adapter.Call("Objectives", kRead);
    report_.Check("the written-back table is the lent one",
                  back.vt == VT_DISPATCH && SameObject(back.pdispVal, lent.Get()), "another object", "the lent one");
    report_.Compare("one record per objective", lent.Text("Count"), "2");
    report_.Compare("the first record is OBJ01", lent.Text("Item", {Short(0)}).substr(0, 5), "OBJ01");
    report_.Compare("the second record is OBJ04", lent.Text("Item", {Short(1)}).substr(0, 5), "OBJ04");
    const COleVariant again = adapter.Call("Objectives", kRead);
    report_.Check("a second read has no kept table", again.vt == VT_DISPATCH && !again.pdispVal, "a table",
                  "no table");

    // ---- Text travels as code page 1252 bytes.
    const Object text = Records({"Unit cost \x80\xE9"});
    report_.Compare("the euro sign survives the record", text.Text("Item", {Short(0)}), "Unit cost \u20AC\u00E9");

    // ---- Failing members.
    const COleVariant refusal(OLESTR("chart refused the perspectives"));
    chart.Call("FailNext", kCall, {Short(3), COleVariant(LONG{E_FAIL}), refusal});
    CheckError("a chart failure reaches the host",
               adapter.Try("Perspectives", kPutRef, {COleVariant(perspectives.Get())}), E_FAIL,
               "chart refused the perspectives");
    CheckError("writing a read-only property", adapter.Try("SelectedStrategy", kPut, {COleVariant(OLESTR("x"))}),
               CTL_E_SETNOTSUPPORTED, "Property is read-only");
    CheckError("attaching no chart",
               adapter.Try("HandleTesselCtrl", kCall, {COleVariant(static_cast<IDispatch*>(nullptr))}), E_POINTER,
               "Invalid pointer");
    CheckError("a record that is not there", lent.Try("Item", kRead, {Short(5)}), DISP_E_BADINDEX,
               "Item: no record with this index");

    // ---- Malformed calls, beside the runtime's own dispatcher.
    CheckBadInput(report_, adapter.Get(), chart.Get());
}

}  // namespace

int main() {
    ClientReport report;
    const HRESULT started = CoInitialize(nullptr);
    if (!report.Compare("the COM runtime starts", ResultCodeText(started), ResultCodeText(S_OK))) return report.Done();
    try {
        Session(report).Run();
    } catch (const ComponentError& error) {
        // Whatever step raised, the rest cannot run.
        report.Check("the session", false, error.what(), "no error");
    }
    CoUninitialize();
    return report.Done();
}
