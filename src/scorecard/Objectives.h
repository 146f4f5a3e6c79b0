// CObjectives: the objectives table, both ways through chart property 4.
#pragma once

#include "tables/PendingTable.h"

class CObjectives : public CPendingTable {};
