// What a table property's table must look like at one version, read from
// the layout tables its dispatch entry names: one row per record field (or
// per cell of a cell table), as aligned text, as a Markdown table or as JSON
// Lines.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "tables/RecordLayout.h"
#include "tools/AdapterMembers.h"
#include "tools/TextOutput.h"

namespace tessel {

// How a field is read, as the text forms name it ("sequence number") and as
// JSON does ("row").
std::string_view UseName(FieldUse use) noexcept;
std::string_view UseWord(FieldUse use) noexcept;
// "310", "30", "20".
std::string_view LayoutName(Layout layout) noexcept;
// The version ranges the versions stand for: "versions 30 and above".
std::string VersionsOf(const std::vector<SHORT>& versions);

struct LayoutRow {
    long offset = -1;  // record fields: where it starts; -1: not a field
    long width = 0;
    long cell = 0;     // cell tables: the cell's column, from 1
    std::string use;   // the JSON word
    std::string shown; // the text forms' word
    std::vector<int> columns;
    int bit = 0;           // flags
    std::string vt;        // constants: the variant type ...
    long value = 0;        // ... and the value
    std::string guardText; // guards: the text the column must hold
    std::string note;      // what the text forms add in words
};

struct LayoutPart {
    std::string direction;  // "fill" or "write"
    std::string heading;    // "139-byte records into a grid of 7 columns"
    std::vector<LayoutRow> rows;
};

// The fill layout the member's setter reads at that version and, for a
// getter, the layout it writes back in.
std::vector<LayoutPart> DescribeLayouts(const AdapterMember& member, SHORT version);

void PrintLayoutText(TextOutput& out, const AdapterMember& member, SHORT version);
void PrintLayoutJson(TextOutput& out, const AdapterMember& member, SHORT version);
// Every version's layouts of the member, versions that share them together.
void AppendLayoutMarkdown(std::string& out, const AdapterMember& member);

}  // namespace tessel
