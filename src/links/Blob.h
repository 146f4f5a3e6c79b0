// CBlob: the chart's layout blob, carried in chunk records.
#pragma once

#include "tables/PendingTable.h"

class CBlob : public CPendingTable {};
