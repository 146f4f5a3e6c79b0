// CPerspectivesFromBlob: perspectives carried in blob records.
#pragma once

#include "tables/PendingTable.h"

class CPerspectivesFromBlob : public CPendingTable {};
