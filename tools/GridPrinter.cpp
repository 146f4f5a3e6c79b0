#include "tools/GridPrinter.h"

#include <algorithm>
#include <vector>

#include "platform/HexText.h"
#include "standins/ChartTrace.h"
#include "standins/TextEscape.h"
#include "standins/Utf8.h"
#include "standins/VariantJson.h"
#include "tools/SummaryWriter.h"

namespace tessel {

namespace {

constexpr std::size_t kWidest = 40;  // display width of one cell, at most

bool IsGrid(const VARIANT& value) {
    return value.vt == (VT_ARRAY | VT_VARIANT) && value.parray && SafeArrayGetDim(value.parray) == 2;
}

bool IsBytes(const VARIANT& value) {
    return value.vt == (VT_ARRAY | VT_UI1) && value.parray && SafeArrayGetDim(value.parray) == 1;
}

// Characters as a terminal shows them: UTF-8 continuation bytes take no room.
std::size_t DisplayWidth(std::string_view text) {
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

// Cuts text to kWidest display characters, marking the cut.
void Clip(std::string& text) {
    if (DisplayWidth(text) <= kWidest) return;
    std::size_t shown = 0;
    std::size_t at = 0;
    for (; at < text.size(); ++at) {
        if ((static_cast<unsigned char>(text[at]) & 0xC0) != 0x80 && ++shown == kWidest) break;
    }
    text.resize(at);
    text += "\xE2\x80\xA6";  // an ellipsis
}

void Pad(std::string& line, std::string_view text, std::size_t width) {
    line += text;
    line.append(width - std::min(width, DisplayWidth(text)), ' ');
}

// Ends a table line; the last column's padding is not worth keeping.
void EndLine(std::string& line) {
    while (!line.empty() && line.back() == ' ') line.pop_back();
    line += '\n';
}

// Control characters, quotes and backslashes, made visible.
struct VisibleEscape {
    static bool Needs(char32_t c) { return c < 0x20 || c == 0x7F || c == '"' || c == '\\'; }
    static void Append(std::string& out, char32_t c) {
        switch (c) {
            case u'\0': out += "\\0"; return;
            case u'\t': out += "\\t"; return;
            case u'\n': out += "\\n"; return;
            case u'\r': out += "\\r"; return;
            case u'"': out += "\\\""; return;
            case u'\\': out += "\\\\"; return;
            default:
                out += "\\x";
                AppendHex(out, c, 2, HexCase::Lower);
        }
    }
};

void Bounds(SAFEARRAY* array, UINT dim, LONG& lower, LONG& count) {
    LONG upper = -1;
    SafeArrayGetLBound(array, dim, &lower);
    SafeArrayGetUBound(array, dim, &upper);
    count = upper - lower + 1;
}

}  // namespace

void GridPrinter::Render(const VARIANT& cell, std::string& out) {
    switch (cell.vt) {
        case VT_EMPTY: return;
        case VT_BSTR:
            out += '"';
            standins::AppendEscaped(out, standins::TextOf(cell.bstrVal), VisibleEscape{});
            out += '"';
            return;
        case VT_DISPATCH: out += cell.pdispVal ? "object" : "null"; return;
        default: out += SummaryWriter::Short(cell); return;
    }
}

void GridPrinter::Print(const standins::ChartCall& call) {
    std::string& head = out_.Buffer();
    head += standins::ChartCallKindName(call.kind);
    head += ' ';
    head += std::to_string(call.dispid);
    for (std::size_t i = 0; i < call.args.size(); ++i) {
        head += i ? ", " : ": ";
        const VARIANT& arg = call.args[i];
        if (IsGrid(arg)) {
            LONG lower = 0, rows = 0, columns = 0;
            Bounds(arg.parray, 1, lower, rows);
            Bounds(arg.parray, 2, lower, columns);
            head += "grid of ";
            head += std::to_string(rows);
            head += " rows x ";
            head += std::to_string(columns);
            head += " columns";
        } else if (IsBytes(arg)) {
            head += SummaryWriter::Shape(arg);
        } else if (arg.vt == VT_EMPTY) {
            head += "EMPTY";  // a template entry never set
        } else {
            standins::AppendTypeName(head, arg.vt);
            head += ' ';
            head += SummaryWriter::Short(arg);
        }
    }
    head += '\n';
    for (const COleVariant& arg : call.args) {
        if (IsGrid(arg)) PrintGrid(arg.parray);
        if (IsBytes(arg)) PrintBytes(arg.parray);
    }
    out_.Append("\n");
    out_.Flush();
}

void GridPrinter::PrintGrid(SAFEARRAY* grid) {
    LONG rowLower = 0, rows = 0, columnLower = 0, columns = 0;
    Bounds(grid, 1, rowLower, rows);
    Bounds(grid, 2, columnLower, columns);

    // First pass: each column's types and width, so that the second pass
    // can print aligned without holding every rendered cell.
    std::vector<std::vector<VARTYPE>> types(columns);
    std::vector<std::size_t> widths(columns);
    std::string cell;
    auto each = [&](auto&& visit) {
        for (LONG r = 0; r < rows; ++r)
            for (LONG c = 0; c < columns; ++c) {
                LONG index[2] = {rowLower + r, columnLower + c};
                void* slot = nullptr;
                if (FAILED(SafeArrayPtrOfIndex(grid, index, &slot))) continue;
                visit(r, c, *static_cast<const VARIANT*>(slot));
            }
    };
    each([&](LONG, LONG c, const VARIANT& value) {
        if (std::ranges::find(types[c], value.vt) == types[c].end()) types[c].push_back(value.vt);
        cell.clear();
        Render(value, cell);
        Clip(cell);
        widths[c] = std::max(widths[c], DisplayWidth(cell));
    });
    std::vector<std::string> typeNames(columns);
    for (LONG c = 0; c < columns; ++c) {
        std::ranges::sort(types[c]);
        for (VARTYPE vt : types[c]) {
            if (!typeNames[c].empty()) typeNames[c] += '/';
            standins::AppendTypeName(typeNames[c], vt);
        }
        if (typeNames[c].empty()) typeNames[c].push_back('-');  // a column without rows
        widths[c] = std::max({widths[c], typeNames[c].size(), std::to_string(c).size()});
    }
    const std::size_t label = std::max<std::size_t>(4, std::to_string(rows).size());

    std::string& text = out_.Buffer();
    Pad(text, "row", label);
    for (LONG c = 0; c < columns; ++c) {
        text += "  ";
        Pad(text, std::to_string(c), widths[c]);
    }
    EndLine(text);
    Pad(text, "type", label);
    for (LONG c = 0; c < columns; ++c) {
        text += "  ";
        Pad(text, typeNames[c], widths[c]);
    }
    EndLine(text);
    each([&](LONG r, LONG c, const VARIANT& value) {
        std::string& line = out_.Buffer();
        if (c == 0) Pad(line, std::to_string(r), label);
        cell.clear();
        Render(value, cell);
        Clip(cell);
        line += "  ";
        Pad(line, cell, widths[c]);
        if (c == columns - 1) {
            EndLine(line);
            out_.Spill();
        }
    });
}

void GridPrinter::PrintBytes(SAFEARRAY* bytes) {
    LONG lower = 0, count = 0;
    Bounds(bytes, 1, lower, count);
    void* data = nullptr;
    if (count <= 0 || FAILED(SafeArrayAccessData(bytes, &data))) return;
    const auto* at = static_cast<const unsigned char*>(data);
    for (LONG offset = 0; offset < count; offset += 16) {
        std::string& line = out_.Buffer();
        AppendHex(line, static_cast<std::uint32_t>(offset), 8, HexCase::Lower);
        line += ' ';
        std::string shown;
        for (LONG i = offset; i < offset + 16; ++i) {
            if (i < count) {
                line += ' ';
                AppendHex(line, at[i], 2, HexCase::Lower);
                shown += at[i] >= 0x20 && at[i] < 0x7F ? static_cast<char>(at[i]) : '.';
            } else {
                line += "   ";
            }
        }
        line += "  |";
        line += shown;
        line += "|\n";
        out_.Spill();
    }
    SafeArrayUnaccessData(bytes);
}

}  // namespace tessel
