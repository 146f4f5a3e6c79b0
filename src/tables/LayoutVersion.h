// Record layout versions and how a table maps the control's version onto one.
//
// The control's version is a signed 16-bit number: 310 and above selects
// layout 310, 30 to 309 layout 30, anything below 30 (negatives included)
// layout 20. Each table names the layout it uses in each of those ranges.
#pragma once

#include "platform/Automation.h"

enum class Layout { V310, V30, V20 };

struct LayoutPaths {
    Layout from310;
    Layout from30;
    Layout below30;

    constexpr Layout For(SHORT version) const noexcept {
        return version >= 310 ? from310 : version >= 30 ? from30 : below30;
    }
};

inline constexpr LayoutPaths kEveryLayout{Layout::V310, Layout::V30, Layout::V20};  // 310/30/20
inline constexpr LayoutPaths kNoLayout20{Layout::V310, Layout::V30, Layout::V30};   // 310/30
inline constexpr LayoutPaths kLayout310Only{Layout::V310, Layout::V310, Layout::V310};
inline constexpr LayoutPaths kLinksLayouts{Layout::V310, Layout::V310, Layout::V20};
