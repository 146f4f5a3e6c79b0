#include "control/ColorScheme.h"

#include <array>

namespace {

// One colour role: the chart's slot for it and the numbers the host's
// scheme knows it by.
struct ColourRole {
    LONG slot;
    const char* name;
    LONG a, b, c;
};

// Row i of the grid is entry i. Slots are not rows: rows 1 and 2 swap, and
// slot 13 is never sent.
constexpr std::array<ColourRole, CColorScheme::kRows> kColourRoles = {{
    {0,  "BackGroundFillColor",      36,   1, 1},
    {2,  "GridFillColor",            1002, 1, 1},
    {1,  "GridLineColor",            1000, 1, 1},
    {3,  "CaptionFillColor",         1002, 1, 1},
    {4,  "CaptionTitleFromColor",    32,   1, 1},
    {5,  "CaptionTitleToColor",      31,   1, 1},
    {6,  "ObjectivesLineColor",      1000, 1, 1},
    {7,  "ObjectivesFillColor",      3,    8, 1},
    {8,  "ArrowLineColor",           1000, 1, 1},
    {9,  "MatrixFillColor",          62,   1, 1},
    {10, "MatrixLevelColor",         61,   1, 1},
    {11, "ScrollLineColor",          1000, 1, 1},
    {12, "ScrollBackGroundColor",    38,   1, 1},
    {14, "ScrollForeGroundColor",    38,   1, 1},
    {15, "MatrixSelectionColor",     36,   8, 1},
    {16, "CaptionSelectionColor",    36,   8, 1},
    {17, "ObjectivesSelectionColor", 36,   8, 1},
    {18, "MatrixThirdLevelColor",    60,   1, 1},
}};

// Asks the environment whether a scheme can be used at all.
bool SchemeInUse(IHostEnvironment& environment) {
    LONG available = 0;
    CheckResult(environment.GetSchemeAvailable(&available), InterfaceTraits<IHostEnvironment>::Id());
    if (available == 0) return false;
    const ComPtr<IHostSchemeStatus> status = ReceiveFrom<IHostEnvironment, IHostSchemeStatus>(
        [&](IHostSchemeStatus** out) { return environment.GetSchemeStatus(out); });
    LONG inUse = 0;
    CheckResult(status->GetInUse(&inUse), InterfaceTraits<IHostSchemeStatus>::Id());
    return inUse != 0;
}

}  // namespace

CColorScheme::CColorScheme() : environment_(CreateHostEnvironment()) {
    if (!environment_ || !SchemeInUse(*environment_)) {
        environment_.Reset();
        return;
    }
    // A host that answers with no scheme leaves the object ready but
    // without one: every refresh then reports failure.
    CheckResult(environment_->GetColorScheme(scheme_.Receive()), InterfaceTraits<IHostEnvironment>::Id());
    const DWORD size[2] = {kRows, 2};
    grid_.Create(VT_VARIANT, 2, size);
    for (LONG row = 0; row < kRows; ++row) {
        LONG index[2] = {row, 0};
        grid_.PutElement(index, COleVariant(kColourRoles[static_cast<std::size_t>(row)].slot, VT_I4));
    }
    ready_ = 1;
}

bool CColorScheme::Refresh() {
    if (!scheme_ || ready_ == 0) return false;
    for (LONG row = 0; row < kRows; ++row) {
        const ColourRole& role = kColourRoles[static_cast<std::size_t>(row)];
        OLE_COLOR colour = 0;
        CheckResult(scheme_->GetColor(role.a, role.b, role.c, &colour), InterfaceTraits<IHostColorScheme>::Id());
        COLORREF rgb = 0;
        CheckResult(OleTranslateColor(colour, nullptr, &rgb));
        LONG index[2] = {row, 1};
        grid_.PutElement(index, COleVariant(static_cast<LONG>(rgb), VT_I4));
    }
    return true;
}
