// The template converters: a template table has the records of its base
// table, so each template converter is its base converter under its own
// name. The name gives it its own entry in the template store; it adds no
// state and overrides nothing.
#pragma once

#include "links/Blob.h"
#include "links/Links.h"
#include "links/LinksFromBlob.h"
#include "links/ObjectivesFromBlob.h"
#include "links/PerspectivesFromBlob.h"
#include "links/StrategiesFromBlob.h"
#include "scorecard/Objectives.h"
#include "scorecard/Strategies.h"

class CTemplateBlob final : public CBlob {};
class CTemplateStrategy final : public CStrategies {};
class CTemplateObjective final : public CObjectives {};
class CTemplateLink final : public CLinks {};
class CTemplateBlobStrategies final : public CStrategiesFromBlob {};
class CTemplateBlobPerspectives final : public CPerspectivesFromBlob {};
class CTemplateBlobObjectives final : public CObjectivesFromBlob {};
class CTemplateBlobLinks final : public CLinksFromBlob {};
