// CTemplateMap: a map table of a template. Each row pairs two keys; the grid
// holds them the other way round, the second key in column 0 and the first
// in column 1. One layout for every version, filled only: the chart never
// hands a map back. Each kind of key has its own class, so that each has its
// own entry in the template store.
#pragma once

#include "tables/RecordTable.h"

namespace template_map {
using enum FieldUse;
inline constexpr FieldSpec kFields[] = {
    // offset width use   column
    {   0,   10,  Key,    1},   // first key
    {  10,   10,  Key,    0},   // second key
};
inline constexpr RecordLayouts kLayouts{.fill310 = FillLayout{20, 2, kFields}};
}  // namespace template_map

class CTemplateMap : public CRecordTable<template_map::kLayouts> {};
class CStrategyMap : public CTemplateMap {};
class CPerspectiveMap : public CTemplateMap {};
class CObjectiveMap : public CTemplateMap {};
