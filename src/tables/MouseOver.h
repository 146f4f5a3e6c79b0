// CMouseOver: the chart's mouse-over texts.
#pragma once

#include "tables/PendingTable.h"

class CMouseOver : public CPendingTable {};
