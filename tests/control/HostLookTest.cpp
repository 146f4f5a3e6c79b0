// The host's look on the chart: colours, font, and the save dialog.
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>

#include "support/AdapterFixture.h"
#include "control/ChartMembers.h"
#include "control/TesselAdapterCtrl.h"
#include "platform/SaveFileDialog.h"
#include "standins/HostEnvironmentStandIn.h"

namespace {

using namespace testing_support;
using standins::ChartCall;
using standins::HostLook;
using standins::LookOp;

// A control made while a host environment stand-in is registered (or not).
class HostLookTest : public AdapterFixture {
protected:
    void SetUp() override {
        Reinstall();
        AdapterFixture::SetUp();
    }
    void TearDown() override {
        AdapterFixture::TearDown();
        host_.reset();
        platform::InstallSaveDialogAnswerer({});
    }
    // A fresh control and chart under the current host settings; no host environment unless registered.
    void Remake(bool registered = true) {
        if (!registered) host_.reset();
        Close();
        Open();
    }
    // A fresh stand-in; the old one goes first, taking its registration.
    void Reinstall() {
        host_.reset();
        host_ = std::make_unique<standins::HostEnvironmentStandIn>();
    }
    HostLook& Look() { return host_->Look(); }

    std::unique_ptr<standins::HostEnvironmentStandIn> host_;
};

TEST_F(HostLookTest, ColourGridHasEveryRoleAtItsSlotWithTranslatedColoursOnEveryAttach) {
    ASSERT_TRUE(Attach().Ok());
    ASSERT_TRUE(Attach().Ok());
    const auto puts = ChartCalls(ChartCall::Put, chart::kColours);
    ASSERT_EQ(puts.size(), 2u);
    const VARIANT& grid = puts[0]->args[0];
    EXPECT_EQ(Shape(grid), std::make_pair(LONG{18}, LONG{2}));
    const LONG slots[18] = {0, 2, 1, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 14, 15, 16, 17, 18};
    for (LONG row = 0; row < 18; ++row) EXPECT_EQ(Cell(grid, row, 0), "I4:" + std::to_string(slots[row])) << row;
    EXPECT_EQ(GridRows(puts[1]->args[0]), GridRows(grid)) << "the second attach puts them again";
    // Row 0 is asked with (36, 1, 1): a system colour; row 2 with (1000, 1, 1): a plain one.
    EXPECT_EQ(Cell(grid, 0, 1), "I4:" + std::to_string(GetSysColor(5)));
    EXPECT_EQ(Cell(grid, 2, 1), "I4:" + std::to_string(0x404040));
    EXPECT_EQ(Cell(grid, 12, 1), "I4:" + std::to_string(GetSysColor(0)));
}

TEST_F(HostLookTest, WithoutASchemeInUseNoColoursAreSent) {
    struct Case { const char* name; bool registered; LONG available; LONG inUse; bool noScheme; };
    const Case cases[] = {{"no environment", false, 1, 1, false},
                          {"availability 0", true, 0, 1, false},
                          {"status 0", true, 1, 0, false},
                          {"no scheme handed out", true, 1, 1, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Look().available = c.available;
        Look().inUse = c.inUse;
        Look().handsOutNothing[LookOp::Scheme] = c.noScheme;
        Remake(c.registered);
        ASSERT_TRUE(Attach().Ok());
        EXPECT_EQ(static_cast<CTesselAdapterCtrl*>(control_.Get())->AmbientPropertyChanged(0), S_OK);
        EXPECT_EQ(ChartCalls(ChartCall::Put, chart::kColours).size(), 0u);
        Reinstall();
    }
}

TEST_F(HostLookTest, AmbientChangeSendsTheSchemeAsItIsNow) {
    auto* control = static_cast<CTesselAdapterCtrl*>(control_.Get());
    EXPECT_EQ(control->AmbientPropertyChanged(0), S_OK) << "without a chart the put is skipped";
    ASSERT_TRUE(Attach().Ok());
    Look().colours[{1000, 1, 1}] = 0x00010203u;
    EXPECT_EQ(control->AmbientPropertyChanged(0), S_OK);
    const auto puts = ChartCalls(ChartCall::Put, chart::kColours);
    ASSERT_EQ(puts.size(), 2u);
    EXPECT_EQ(Cell(puts[1]->args[0], 2, 1), "I4:" + std::to_string(0x010203));
    Look().colours[{1000, 1, 1}] = 0x80000040u;  // no such system colour
    EXPECT_EQ(control->AmbientPropertyChanged(0), E_INVALIDARG);
    Look().faults.Fail(LookOp::Colour, Look().faults.Count(LookOp::Colour) + 3, E_ACCESSDENIED);
    EXPECT_EQ(Attach().Code(), E_ACCESSDENIED);
}

// Failing to create the environment is silent.
TEST_F(HostLookTest, FailingHostOperationFailsConstruction) {
    control_.Reset();
    struct Case { LookOp op; bool nothing; HRESULT code; };
    const Case cases[] = {{LookOp::Available, false, E_FAIL},   {LookOp::Status, false, E_ACCESSDENIED},
                          {LookOp::Status, true, E_POINTER},    {LookOp::InUse, false, E_FAIL},
                          {LookOp::Scheme, false, E_FAIL},      {LookOp::Create, false, S_OK}};
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.op));
        Reinstall();
        if (c.nothing) Look().handsOutNothing[c.op] = true;
        else Look().faults.Fail(c.op, 1, c.code == S_OK ? E_OUTOFMEMORY : c.code);
        HRESULT code = S_OK;
        try {
            ComPtr<IDispatch> made;
            made.Attach(new CTesselAdapterCtrl);
        } catch (const ComponentError& error) {
            code = error.Code();
        }
        EXPECT_EQ(code, c.code);
        EXPECT_EQ(standins::LiveObjects(), 1) << "only the chart is left";
    }
}

TEST_F(HostLookTest, HostFontIsSentOnceSystemFontOnEveryCall) {
    struct Case { bool registered; const char* font; LONG height; std::size_t sends; };
    const Case cases[] = {{true, "call Font(BSTR:Tahoma, I2:0, I2:34)", -11, 1},
                          {false, "call Font(BSTR:System, I2:0, I2:34)", 16, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.font);
        Remake(c.registered);
        ASSERT_TRUE(Attach().Ok());
        ASSERT_TRUE(Attach().Ok());
        const auto fonts = ChartCalls(ChartCall::Call, chart::kFont);
        ASSERT_EQ(fonts.size(), c.sends);
        EXPECT_EQ(Shown(*fonts[0]), c.font);
        for (DISPID height : {chart::kFontHeightToo, chart::kFontHeight}) {
            const auto puts = ChartCalls(ChartCall::Put, height);
            ASSERT_EQ(puts.size(), c.sends);
            EXPECT_EQ(puts[0]->args[0].lVal, c.height);
        }
        Reinstall();
    }
}

TEST_F(HostLookTest, UnusableHostFontFailsTheAttach) {
    struct Case { const char* name; HostLook::FontKind kind; LookOp op; bool nothing; HRESULT code; };
    const Case cases[] = {
        {"not a font", HostLook::FontKind::NotAFont, LookOp::Property, false, E_POINTER},
        {"no property", HostLook::FontKind::Nothing, LookOp::Property, false, E_POINTER},
        {"property fails", HostLook::FontKind::Font, LookOp::Property, false, E_ACCESSDENIED},
        {"no collection", HostLook::FontKind::Font, LookOp::Properties, true, E_POINTER},
        {"collection fails", HostLook::FontKind::Font, LookOp::Properties, false, E_FAIL},
        {"handle fails", HostLook::FontKind::Font, LookOp::FontHandle, false, E_FAIL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Look().fontKind = c.kind;
        if (c.nothing) Look().handsOutNothing[c.op] = true;
        else if (c.code != E_POINTER) Look().faults.Fail(c.op, Look().faults.Count(c.op) + 1, c.code);
        Remake();
        const Outcome out = Attach();
        EXPECT_EQ(out.Code(), c.code);
        EXPECT_EQ(out.description.empty(), false);
        EXPECT_EQ(ChartCalls(ChartCall::Call, chart::kFont).size(), 0u);
        Reinstall();
    }
}

TEST_F(HostLookTest, SaveDialogShowsItsOptionsAndItsAnswerDecides) {
    std::vector<platform::SaveDialogOptions> shown;
    std::optional<OleString> answer;
    platform::InstallSaveDialogAnswerer([&](const platform::SaveDialogOptions& options) {
        shown.push_back(options);
        return answer;
    });
    // Cancelled, with and without a chart: nothing at all is sent.
    EXPECT_EQ(Call("SaveAsJPeg", {COleVariant(OLESTR("Export"))}).Code(), S_OK);
    ASSERT_TRUE(Attach().Ok());
    const std::size_t attached = chart_->Calls().size();
    EXPECT_EQ(Call("SaveAsJPeg", {COleVariant(OLESTR("Export"))}).Code(), S_OK);
    EXPECT_EQ(chart_->Calls().size(), attached);

    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].title, u"Export");
    EXPECT_EQ(shown[0].flags, DWORD{0x2 | 0x4} | platform::kFrameworkDialogFlags);

    const std::string chosen = testing::TempDir() + "tessel-host-look-map.jpg";
    answer = OleString(chosen.begin(), chosen.end());
    EXPECT_EQ(Call("SaveAsJPeg", {COleVariant(OLESTR(""))}).Code(), S_OK);
    std::filesystem::remove(chosen);
    const auto saves = ChartCalls(ChartCall::Call, chart::kSaveImage);
    ASSERT_EQ(saves.size(), 1u);
    EXPECT_EQ(Shown(*saves[0]), "call SaveImage(BSTR:" + chosen + ", I4:2)");
    EXPECT_EQ(shown.back().title, u"");

    Remake();
    EXPECT_EQ(Call("SaveAsJPeg", {COleVariant(OLESTR("x"))}).Code(), E_POINTER) << "confirmed without a chart";
}

// The chart writes the file; the host gets the cause's code and text.
TEST_F(HostLookTest, ASaveThatCannotWriteItsFileFailsAtTheHost) {
    const std::filesystem::path folder = testing::TempDir() + "tessel-unwritable-save";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder / "a-folder");
    std::ofstream(folder / "a-file") << "not a folder";
    struct Case { const char* chosen; HRESULT code; };
    const Case cases[] = {{"missing/map.jpg", STG_E_PATHNOTFOUND},
                          {"a-file/map.jpg", STG_E_PATHNOTFOUND},
                          {"a-folder", STG_E_WRITEFAULT}};
    std::optional<OleString> answer;
    platform::InstallSaveDialogAnswerer([&](const platform::SaveDialogOptions&) { return answer; });
    ASSERT_TRUE(Attach().Ok());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.chosen);
        const std::string chosen = (folder / c.chosen).string();
        answer = OleString(chosen.begin(), chosen.end());
        const auto out = Call("SaveAsJPeg", {COleVariant(OLESTR("Export"))});
        EXPECT_EQ(out.hr, DISP_E_EXCEPTION);
        EXPECT_EQ(out.Code(), c.code);
        EXPECT_NE(out.description.find(chosen), std::string::npos) << out.description;
    }
    std::filesystem::remove_all(folder);
}

}  // namespace
