#include "tools/LayoutDescription.h"

#include <algorithm>
#include <cctype>
#include <utility>

#include "links/Blob.h"
#include "scorecard/TreeItems.h"
#include "standins/VariantJson.h"

namespace tessel {

namespace {

LayoutRow Spanning(long offset, long width) {
    LayoutRow row;
    row.offset = offset;
    row.width = width;
    return row;
}

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

std::string ColumnList(const std::vector<int>& columns) {
    std::string text;
    for (const int column : columns) text += (text.empty() ? "" : ", ") + std::to_string(column);
    return text;
}

void AddColumn(std::vector<int>& columns, std::int8_t column) {
    if (column != kNoColumn) columns.push_back(column);
}

LayoutRow FieldRow(const FieldSpec& f) {
    LayoutRow row = Spanning(f.offset, f.width);
    row.use = UseWord(f.use);
    row.shown = UseName(f.use);
    AddColumn(row.columns, f.column);
    AddColumn(row.columns, f.also);
    AddColumn(row.columns, f.third);
    const std::string column = std::to_string(f.column);
    switch (f.use) {
        case FieldUse::Row: row.note = "the grid row, counted from 1"; break;
        case FieldUse::Key: row.note = "never blank"; break;
        case FieldUse::Digit:
            row.note = "taken when the marker of column " + column + " is X, else " + std::to_string(kMarkedDefault);
            break;
        case FieldUse::Marker: row.note = "X or blank; X takes the digit of column " + column; break;
        case FieldUse::Flag:
            row.bit = f.bit;
            row.note = "X or blank; X adds " + std::to_string(f.bit) + " to column " + column;
            break;
        default: break;
    }
    return row;
}

LayoutRow ConstantRow(const ConstantCell& c) {
    LayoutRow row;
    row.use = "constant";
    row.shown = "constant";
    row.columns = {c.column};
    row.vt = standins::VariantTypeName(c.vt);
    row.value = c.value;
    const std::string value = c.vt == VT_BOOL ? (c.value ? "true" : "false") : std::to_string(c.value);
    row.note = "every row: " + value + " (" + row.vt + ")";
    return row;
}

LayoutPart FillPart(const FillLayout& layout) {
    LayoutPart part{"fill",
                    std::to_string(layout.recordLength) + "-byte records into a grid of " +
                        std::to_string(layout.columns) + " columns",
                    {}};
    for (const FieldSpec& f : layout.fields) part.rows.push_back(FieldRow(f));
    for (const ConstantCell& c : layout.constants) part.rows.push_back(ConstantRow(c));
    return part;
}

// The written fields in record order, the bytes no field covers as blank
// runs, and the guards where they stand.
LayoutPart WritePart(const WriteLayout& layout) {
    LayoutPart part{"write",
                    "grid rows written back into " + std::to_string(layout.recordLength) +
                        "-byte records; a field holds its column's text cut to its width, a shorter text ends "
                        "with a NUL",
                    {}};
    std::vector<LayoutRow> fields;
    for (const WriteFieldSpec& f : layout.fields) {
        LayoutRow row = Spanning(f.offset, f.width);
        row.columns = {f.column};
        if (f.bit != 0) {
            row.use = "flag";
            row.shown = "flag";
            row.bit = f.bit;
            row.note = "X when column " + std::to_string(f.column) + " holds " + std::to_string(f.bit);
        } else {
            row.use = "text";
            row.shown = "text";
        }
        fields.push_back(std::move(row));
    }
    for (const WriteGuard& g : layout.guards) {
        LayoutRow row = Spanning(layout.fields[g.first].offset, 0);
        row.use = "guard";
        row.shown = "guard";
        row.columns = {g.column};
        row.guardText = g.text;
        const std::string unless = "unless column " + std::to_string(g.column) + " is " + Quoted(g.text) + ", ";
        row.note = g.miss == GuardMiss::SkipRow
                       ? unless + "the row is not written"
                       : unless + "the bytes from here to offset " +
                             std::to_string(g.end < layout.fields.size() ? layout.fields[g.end].offset
                                                                         : layout.recordLength) +
                             " stay blank";
        fields.push_back(std::move(row));
    }
    std::stable_sort(fields.begin(), fields.end(),
                     [](const LayoutRow& a, const LayoutRow& b) { return a.offset < b.offset; });
    long covered = 0;
    const auto blank = [&](long to) {
        if (to <= covered) return;
        LayoutRow row = Spanning(covered, to - covered);
        row.use = "blank";
        row.shown = "blank";
        row.note = "not written: blanks";
        part.rows.push_back(std::move(row));
    };
    for (LayoutRow& row : fields) {
        if (row.width > 0) {
            blank(row.offset);
            covered = std::max(covered, row.offset + row.width);
        }
        part.rows.push_back(std::move(row));
    }
    blank(static_cast<long>(layout.recordLength));
    return part;
}

LayoutPart CellPart(const tree_items::RowLayout& rows) {
    const LONG least = std::max(rows.column0, rows.column1);
    LayoutPart part{"fill",
                    "a cell table of at least " + std::to_string(least) +
                        " columns; each run of rows with one key is a group with a grid of its other cells",
                    {}};
    const auto cell = [&](LONG number, std::vector<int> columns) {
        LayoutRow row;
        row.cell = number;
        row.columns = std::move(columns);
        const bool isNumber = number == rows.number;
        row.use = isNumber ? "number" : "value";
        row.shown = isNumber ? "number" : "value";
        row.note = isNumber ? "changed to VT_I4; empty gives 0" : "as the table holds it";
        if (rows.rowKey && number == tree_items::kRowKeyCell) row.note += "; the last row's names the group's row";
        part.rows.push_back(std::move(row));
    };
    LayoutRow key;
    key.cell = tree_items::kKeyCell;
    key.use = "key";
    key.shown = "key";
    key.note = "the objective's key, as text; consecutive rows with one key form a group";
    part.rows.push_back(std::move(key));
    cell(rows.column0, {0});
    if (rows.column1 != 0) cell(rows.column1, {1});
    LayoutRow rest;
    rest.cell = rows.firstPlain;
    rest.use = "rest";
    rest.shown = "value";
    rest.columns = {static_cast<int>(rows.firstPlain - 2)};
    rest.note = "and each later cell c into column c - 2, as the table holds it";
    part.rows.push_back(std::move(rest));
    std::stable_sort(part.rows.begin(), part.rows.end(),
                     [](const LayoutRow& a, const LayoutRow& b) { return a.cell < b.cell; });
    return part;
}

LayoutPart ChunkPart(std::string direction) {
    using namespace blob_chunk;
    const bool fill = direction == "fill";
    LayoutPart part{std::move(direction),
                    fill ? std::to_string(kRecordLength) + "-byte chunk records joined into the chart's bytes"
                         : "the chart's bytes cut into " + std::to_string(kRecordLength) + "-byte chunk records",
                    {}};
    const auto add = [&](std::size_t offset, std::size_t width, std::string use, std::string note) {
        LayoutRow row = Spanning(static_cast<long>(offset), static_cast<long>(width));
        row.shown = use == "skip" ? "skipped" : use;
        row.use = std::move(use);
        row.note = std::move(note);
        part.rows.push_back(std::move(row));
    };
    add(kNumberOffset, kLengthOffset - kNumberOffset - 1, fill ? "skip" : "number",
        "the chunk's place from 1, low 8 bits");
    add(kNumberOffset + 1, kLengthOffset - kNumberOffset - 1, "skip", "reserved");
    add(kLengthOffset, kDataOffset - kLengthOffset, "length",
        "bytes the chunk carries, 16-bit little-endian: " + std::to_string(kDataWidth) +
            " in every chunk but the last");
    add(kDataOffset, kDataWidth, "bytes", "the chart's bytes");
    add(kDataOffset + kDataWidth, kRecordLength - kDataOffset - kDataWidth, "skip", "reserved");
    return part;
}

// The layout a member reads at the version, as the setter picks it.
Layout FillLayoutAt(const MemberDetail& table, SHORT version) { return table.fill.For(version); }

// Pads each column to its widest cell; the last column is not padded.
void AppendAligned(std::string& out, const std::vector<std::vector<std::string>>& lines) {
    std::vector<std::size_t> widths;
    for (const auto& line : lines)
        for (std::size_t c = 0; c < line.size(); ++c) {
            if (widths.size() <= c) widths.push_back(0);
            widths[c] = std::max(widths[c], line[c].size());
        }
    for (const auto& line : lines) {
        std::string text = " ";
        for (std::size_t c = 0; c < line.size(); ++c) {
            const bool number = c < 2 && !line[c].empty() && std::isdigit(static_cast<unsigned char>(line[c][0]));
            text += ' ';
            if (number) text.append(widths[c] - line[c].size(), ' ');
            text += line[c];
            if (!number) text.append(widths[c] - line[c].size(), ' ');
            text += ' ';
        }
        while (!text.empty() && text.back() == ' ') text.pop_back();
        out += text + '\n';
    }
}

bool IsCells(const LayoutPart& part) { return !part.rows.empty() && part.rows.front().cell != 0; }

std::vector<std::string> Cells(const LayoutRow& row, bool cells) {
    std::vector<std::string> line;
    if (cells) {
        line.push_back(row.use == "rest" ? std::to_string(row.cell) + "..." : std::to_string(row.cell));
    } else {
        line.push_back(row.offset >= 0 ? std::to_string(row.offset) : "");
        line.push_back(row.width > 0 ? std::to_string(row.width) : "");
    }
    line.push_back(row.shown);
    line.push_back(ColumnList(row.columns));
    line.push_back(row.note);
    return line;
}

std::vector<std::string> Header(bool cells) {
    if (cells) return {"cell", "use", "column", ""};
    return {"offset", "width", "use", "column", ""};
}

}  // namespace

std::string_view UseName(FieldUse use) noexcept {
    switch (use) {
        case FieldUse::Skip: return "skipped";
        case FieldUse::Text: return "text";
        case FieldUse::Key: return "key";
        case FieldUse::Long: return "number";
        case FieldUse::Short: return "16-bit number";
        case FieldUse::Row: return "sequence number";
        case FieldUse::Digit: return "digit";
        case FieldUse::Marker: return "marker";
        case FieldUse::Flag: return "flag";
    }
    return "field";
}

std::string_view UseWord(FieldUse use) noexcept {
    switch (use) {
        case FieldUse::Skip: return "skip";
        case FieldUse::Short: return "short";
        case FieldUse::Row: return "row";
        default: return UseName(use);
    }
}

std::string VersionsOf(const std::vector<SHORT>& versions) {
    const auto has = [&](int from) {
        return std::ranges::any_of(versions, [&](SHORT v) { return (v >= 310 ? 310 : v >= 30 ? 30 : 20) == from; });
    };
    if (has(310) && has(30) && has(20)) return "every version";
    if (has(310) && has(30)) return "versions 30 and above";
    if (has(30) && has(20)) return "versions below 310";
    if (has(310)) return has(20) ? "versions 310 and above and below 30" : "versions 310 and above";
    return has(30) ? "versions 30 to 309" : "versions below 30";
}

std::string_view LayoutName(Layout layout) noexcept {
    return layout == Layout::V310 ? "310" : layout == Layout::V30 ? "30" : "20";
}

std::vector<LayoutPart> DescribeLayouts(const AdapterMember& member, SHORT version) {
    const MemberDetail& table = *member.table;
    std::vector<LayoutPart> parts;
    const Layout fill = FillLayoutAt(table, version);
    const Layout write = table.writeBack.For(version);
    switch (table.form) {
        case TableForm::Cells: parts.push_back(CellPart(tree_items::RowsOf(fill))); break;
        case TableForm::Chunks:
            parts.push_back(ChunkPart("fill"));
            if (table.writesBack) parts.push_back(ChunkPart("write"));
            break;
        case TableForm::Records:
            if (const auto& layout = table.records->Fill(fill)) parts.push_back(FillPart(*layout));
            if (table.writesBack)
                if (const auto& layout = table.records->Write(write)) parts.push_back(WritePart(*layout));
            break;
    }
    return parts;
}

void PrintLayoutText(TextOutput& out, const AdapterMember& member, SHORT version) {
    std::string& text = out.Buffer();
    text += std::string(member.name) + " at version " + std::to_string(version) + " (layout " +
            std::string(LayoutName(FillLayoutAt(*member.table, version))) + ")\n";
    for (const LayoutPart& part : DescribeLayouts(member, version)) {
        text += "\n" + part.direction + ": " + part.heading + "\n";
        const bool cells = IsCells(part);
        std::vector<std::vector<std::string>> lines{Header(cells)};
        for (const LayoutRow& row : part.rows) lines.push_back(Cells(row, cells));
        AppendAligned(text, lines);
    }
    out.Flush();
}

void PrintLayoutJson(TextOutput& out, const AdapterMember& member, SHORT version) {
    for (const LayoutPart& part : DescribeLayouts(member, version)) {
        for (const LayoutRow& row : part.rows) {
            std::string& line = out.Buffer();
            line += "{\"layout\":\"" + part.direction + "\"";
            if (row.cell != 0) line += ",\"cell\":" + std::to_string(row.cell);
            if (row.offset >= 0) line += ",\"offset\":" + std::to_string(row.offset);
            if (row.width > 0) line += ",\"width\":" + std::to_string(row.width);
            line += ",\"use\":\"" + row.use + "\",\"column\":[";
            for (std::size_t c = 0; c < row.columns.size(); ++c) line += (c ? "," : "") + std::to_string(row.columns[c]);
            line += ']';
            if (row.bit != 0) line += ",\"bit\":" + std::to_string(row.bit);
            if (!row.vt.empty()) line += ",\"vt\":\"" + row.vt + "\",\"value\":" + std::to_string(row.value);
            if (row.use == "guard") {
                line += ",\"text\":";
                standins::AppendJsonString(line, row.guardText);
            }
            line += "}\n";
        }
    }
    out.Flush();
}

void AppendLayoutMarkdown(std::string& out, const AdapterMember& member) {
    // Each layout version's text; versions with the same text share it.
    struct Group {
        std::vector<SHORT> versions;
        std::string text;
    };
    std::vector<Group> groups;
    for (const SHORT version : {SHORT{310}, SHORT{30}, SHORT{20}}) {
        std::string text;
        for (const LayoutPart& part : DescribeLayouts(member, version)) {
            text += "*" + part.direction + "*: " + part.heading + "\n\n";
            const bool cells = IsCells(part);
            const std::vector<std::string> header = Header(cells);
            std::string rule;
            for (std::size_t c = 0; c < header.size(); ++c) {
                text += "| " + header[c] + " ";
                rule += !cells && c < 2 ? "|---:" : "|---";
            }
            text += "|\n" + rule + "|\n";
            for (const LayoutRow& row : part.rows) {
                for (const std::string& cell : Cells(row, cells)) text += "| " + cell + " ";
                text += "|\n";
            }
            text += "\n";
        }
        const auto same = std::ranges::find(groups, text, &Group::text);
        if (same != groups.end())
            same->versions.push_back(version);
        else
            groups.push_back({{version}, std::move(text)});
    }
    out += "### " + std::string(member.name) + "\n\n";
    for (const Group& group : groups) {
        std::string versions = VersionsOf(group.versions);
        versions[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(versions[0])));
        const Layout layout = FillLayoutAt(*member.table, group.versions.front());
        out += versions + " (layout " + std::string(LayoutName(layout)) + "):\n\n" + group.text;
    }
}

}  // namespace tessel
