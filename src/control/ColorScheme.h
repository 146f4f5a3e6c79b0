// CColorScheme: the host's colours for the chart, as one grid of 18 rows
// (colour slot, red-green-blue value), refreshed from the host's colour
// scheme whenever the chart should follow it.
#pragma once

#include "control/HostEnvironment.h"
#include "platform/OleSafeArray.h"

class CColorScheme {
public:
    // Contacts the host environment. A host that cannot be reached, offers no
    // scheme, has none in use or hands out none leaves the object without a
    // scheme; a failing host operation is raised.
    CColorScheme();

    // Asks the scheme for every colour; false (and nothing changed) without
    // a scheme.
    bool Refresh();
    const COleSafeArray& Grid() const noexcept { return grid_; }

    static constexpr LONG kRows = 18;

private:
    COleSafeArray grid_;
    ComPtr<IHostEnvironment> environment_;
    ComPtr<IHostColorScheme> scheme_;
    int ready_ = 0;
};
