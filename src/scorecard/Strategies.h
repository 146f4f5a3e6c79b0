// CStrategies: the strategies table, into chart property 2.
#pragma once

#include "tables/PendingTable.h"

class CStrategies : public CPendingTable {};
