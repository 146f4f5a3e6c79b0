// CLinksFromBlob: links carried in blob records.
#pragma once

#include "tables/PendingTable.h"

class CLinksFromBlob : public CPendingTable {};
