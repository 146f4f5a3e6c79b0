// CTemplateMap: a map table pairing two keys, kept for a template; one
// class per kind of key so each has its own instance in the template store.
#pragma once

#include "tables/PendingTable.h"

class CTemplateMap : public CPendingTable {};
class CStrategyMap : public CTemplateMap {};
class CPerspectiveMap : public CTemplateMap {};
class CObjectiveMap : public CTemplateMap {};
