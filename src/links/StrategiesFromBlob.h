// CStrategiesFromBlob: strategies carried in blob records.
#pragma once

#include "tables/PendingTable.h"

class CStrategiesFromBlob : public CPendingTable {};
