// CVantorStrings: the user-interface strings of the chart.
#pragma once

#include "tables/PendingTable.h"

class CVantorStrings : public CPendingTable {};
