// CObjectivesFromBlob: objectives carried in blob records.
#pragma once

#include "tables/PendingTable.h"

class CObjectivesFromBlob : public CPendingTable {};
