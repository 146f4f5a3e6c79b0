// CTreeFields: a measure or initiative field catalogue.
#pragma once

#include "tables/PendingTable.h"

class CTreeFields : public CPendingTable {};
