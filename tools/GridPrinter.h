// What one chart call carried, as a readable table: column numbers, the
// variant types found in each column, and the values, with NULs, tabs and
// other control characters made visible. Byte arrays print as a hex dump.
#pragma once

#include <string>

#include "standins/ChartStandIn.h"
#include "tools/TextOutput.h"

namespace tessel {

class GridPrinter {
public:
    explicit GridPrinter(TextOutput& out) : out_(out) {}

    void Print(const standins::ChartCall& call);

    // One cell as the table shows it; text in quotes with escapes.
    static void Render(const VARIANT& cell, std::string& out);

private:
    void PrintGrid(SAFEARRAY* grid);
    void PrintBytes(SAFEARRAY* bytes);

    TextOutput& out_;
};

}  // namespace tessel
