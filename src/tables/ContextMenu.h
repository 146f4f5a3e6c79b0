// CContextMenu: the chart's context-menu entries.
#pragma once

#include "tables/PendingTable.h"

class CContextMenu : public CPendingTable {};
