// CLinkMap: the link map of a template.
#pragma once

#include "tables/PendingTable.h"

class CLinkMap : public CPendingTable {};
