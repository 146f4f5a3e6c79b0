// docs/reference.md, generated: the adapter's members as its dispatch map
// declares them, the chart calls each one makes (found by running it against
// the stand-in chart at every layout version), and the layouts of every
// table property, read from the layout tables.
#pragma once

#include <string>

namespace tessel {

std::string ReferenceText();

}  // namespace tessel
