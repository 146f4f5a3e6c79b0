// The template converters: each reads the records of its base table into
// its own instance in the template store.
#pragma once

#include "links/Blob.h"
#include "links/Links.h"
#include "links/LinksFromBlob.h"
#include "links/ObjectivesFromBlob.h"
#include "links/PerspectivesFromBlob.h"
#include "links/StrategiesFromBlob.h"
#include "scorecard/Objectives.h"
#include "scorecard/Strategies.h"

class CTemplateBlob : public CBlob {};
class CTemplateStrategy : public CStrategies {};
class CTemplateObjective : public CObjectives {};
class CTemplateLink : public CLinks {};
class CTemplateBlobStrategies : public CStrategiesFromBlob {};
class CTemplateBlobPerspectives : public CPerspectivesFromBlob {};
class CTemplateBlobObjectives : public CObjectivesFromBlob {};
class CTemplateBlobLinks : public CLinksFromBlob {};
