// CLinks: links between objectives.
#pragma once

#include "tables/PendingTable.h"

class CLinks : public CPendingTable {};
