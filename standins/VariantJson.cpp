#include "standins/VariantJson.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <vector>

#include "platform/HexText.h"
#include "standins/TextEscape.h"
#include "standins/Utf8.h"

namespace standins {

namespace {

const char* BaseTypeName(VARTYPE base) {
    switch (base) {
        case VT_EMPTY: return "EMPTY";
        case VT_NULL: return "NULL";
        case VT_I2: return "I2";
        case VT_I4: return "I4";
        case VT_R4: return "R4";
        case VT_R8: return "R8";
        case VT_CY: return "CY";
        case VT_DATE: return "DATE";
        case VT_BSTR: return "BSTR";
        case VT_DISPATCH: return "DISPATCH";
        case VT_ERROR: return "ERROR";
        case VT_BOOL: return "BOOL";
        case VT_VARIANT: return "VARIANT";
        case VT_UNKNOWN: return "UNKNOWN";
        case VT_DECIMAL: return "DECIMAL";
        case VT_I1: return "I1";
        case VT_UI1: return "UI1";
        case VT_UI2: return "UI2";
        case VT_UI4: return "UI4";
        case VT_I8: return "I8";
        case VT_UI8: return "UI8";
        case VT_INT: return "INT";
        case VT_UINT: return "UINT";
        default: return nullptr;
    }
}

template <class Int>
void AppendInteger(std::string& out, Int value) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, end);
}

// A single value of type `base` held in v (by value). Returns false when the
// type carries no value the trace shows.
bool AppendValue(JsonText& out, VARTYPE base, const VARIANT& v) {
    std::string& text = out.Buffer();
    switch (base) {
        case VT_BSTR: AppendJsonText(text, TextOf(v.bstrVal)); return true;
        case VT_I1: AppendInteger(text, static_cast<int>(static_cast<signed char>(v.cVal))); return true;
        case VT_UI1: AppendInteger(text, static_cast<unsigned>(v.bVal)); return true;
        case VT_I2: AppendInteger(text, v.iVal); return true;
        case VT_UI2: AppendInteger(text, v.uiVal); return true;
        case VT_I4: case VT_ERROR: case VT_INT: AppendInteger(text, v.lVal); return true;
        case VT_UI4: case VT_UINT: AppendInteger(text, v.ulVal); return true;
        case VT_I8: AppendInteger(text, v.llVal); return true;
        case VT_UI8: AppendInteger(text, static_cast<ULONGLONG>(v.llVal)); return true;
        case VT_R4: AppendReal(text, v.fltVal); return true;
        case VT_R8: case VT_DATE: AppendReal(text, v.dblVal); return true;
        case VT_BOOL: text += v.boolVal ? "true" : "false"; return true;
        case VT_DISPATCH: case VT_UNKNOWN: text += v.punkVal ? "\"object\"" : "null"; return true;
        case VT_VARIANT:
            if (!v.pvarVal) return false;
            AppendJsonVariant(out, *v.pvarVal);
            return true;
        default: return false;
    }
}

// The value a reference points at, as a plain variant of the base type
// (no copy of strings or arrays: the result borrows).
bool Dereference(const VARIANT& ref, VARTYPE base, VARIANT& value) {
    if (!ref.byref) return false;
    VariantInit(&value);
    value.vt = base;
    switch (base) {
        case VT_VARIANT: value.pvarVal = ref.pvarVal; return true;
        case VT_BSTR: value.bstrVal = *ref.pbstrVal; return true;
        case VT_DISPATCH: case VT_UNKNOWN: value.punkVal = *ref.ppunkVal; return true;
        case VT_I1: case VT_UI1: value.bVal = *ref.pbVal; return true;
        case VT_I2: case VT_UI2: case VT_BOOL: value.iVal = *ref.piVal; return true;
        case VT_I4: case VT_UI4: case VT_INT: case VT_UINT: case VT_ERROR: value.lVal = *ref.plVal; return true;
        case VT_R4: std::memcpy(&value.fltVal, ref.byref, sizeof(FLOAT)); return true;
        case VT_R8: case VT_DATE: value.dblVal = *ref.pdblVal; return true;
        case VT_I8: case VT_UI8: std::memcpy(&value.llVal, ref.byref, sizeof(LONGLONG)); return true;
        default: return false;
    }
}

class ArrayWriter {
public:
    ArrayWriter(JsonText& out, SAFEARRAY* array, VARTYPE base) : out_(out), array_(array), base_(base) {
        const UINT dims = SafeArrayGetDim(array);
        lower_.resize(dims);
        counts_.resize(dims);
        for (UINT d = 0; d < dims; ++d) {
            LONG upper = 0;
            SafeArrayGetLBound(array, d + 1, &lower_[d]);
            SafeArrayGetUBound(array, d + 1, &upper);
            counts_[d] = static_cast<LONGLONG>(upper) - lower_[d] + 1;
        }
    }

    void Write() {
        std::string& text = out_.Buffer();
        text += ",\"lbound\":[";
        for (std::size_t d = 0; d < lower_.size(); ++d) {
            if (d) text += ',';
            AppendInteger(text, lower_[d]);
        }
        text += "],\"dims\":[";
        for (std::size_t d = 0; d < counts_.size(); ++d) {
            if (d) text += ',';
            AppendInteger(text, counts_[d]);
        }
        text += ']';
        if (base_ == VT_UI1 && counts_.size() == 1) {
            text += ",\"hex\":\"";
            void* data = nullptr;
            if (counts_[0] > 0 && SUCCEEDED(SafeArrayAccessData(array_, &data))) {
                AppendHexBytes(text, static_cast<const unsigned char*>(data), static_cast<std::size_t>(counts_[0]));
                SafeArrayUnaccessData(array_);
            }
            text += '"';
            return;
        }
        text += ",\"v\":";
        index_.assign(lower_.begin(), lower_.end());
        Level(0);
    }

private:
    void Level(std::size_t d) {
        out_.Buffer() += '[';
        for (LONGLONG i = 0; i < counts_[d]; ++i) {
            if (i) out_.Buffer() += ',';
            index_[d] = static_cast<LONG>(lower_[d] + i);
            if (d + 1 < counts_.size())
                Level(d + 1);
            else
                Element();
            if (d == 0) out_.Spill();
        }
        out_.Buffer() += ']';
    }

    void Element() {
        void* slot = nullptr;
        if (FAILED(SafeArrayPtrOfIndex(array_, index_.data(), &slot))) {
            out_.Buffer() += "null";
            return;
        }
        if (base_ == VT_VARIANT) {
            AppendJsonVariant(out_, *static_cast<const VARIANT*>(slot));
            return;
        }
        VARIANT element;
        VariantInit(&element);
        element.vt = base_;
        std::memcpy(&element.llVal, slot, std::min<std::size_t>(SafeArrayGetElemsize(array_), sizeof(element.llVal)));
        if (!AppendValue(out_, base_, element)) out_.Buffer() += "null";
    }

    JsonText& out_;
    SAFEARRAY* array_;
    VARTYPE base_;
    std::vector<LONG> lower_;
    std::vector<LONGLONG> counts_;
    std::vector<LONG> index_;
};

}  // namespace

void AppendTypeName(std::string& out, VARTYPE vt) {
    const VARTYPE base = vt & VT_TYPEMASK;
    if (vt & VT_ARRAY) out += "ARRAY|";
    if (const char* known = BaseTypeName(base)) {
        out += known;
    } else {
        out += "VT";
        AppendInteger(out, base);
    }
    if (vt & VT_BYREF) out += "|BYREF";
}

std::string VariantTypeName(VARTYPE vt) {
    std::string name;
    AppendTypeName(name, vt);
    return name;
}

namespace {

// Quotes, backslashes, controls and lone surrogates, as JSON writes them.
struct JsonEscape {
    static bool Needs(char32_t c) { return c < 0x20 || c == '"' || c == '\\' || (c >= 0xD800 && c <= 0xDFFF); }
    static void Append(std::string& out, char32_t c) {
        switch (c) {
            case '"': out += "\\\""; return;
            case '\\': out += "\\\\"; return;
            case '\n': out += "\\n"; return;
            case '\r': out += "\\r"; return;
            case '\t': out += "\\t"; return;
            case '\b': out += "\\b"; return;
            case '\f': out += "\\f"; return;
            default:
                out += "\\u";
                AppendHex(out, c, 4, HexCase::Lower);
        }
    }
};

}  // namespace

void AppendJsonString(std::string& out, std::string_view utf8) {
    out += '"';
    AppendEscaped(out, utf8, JsonEscape{});
    out += '"';
}

void AppendJsonText(std::string& out, OleStringView text) {
    out += '"';
    AppendEscaped(out, text, JsonEscape{});
    out += '"';
}

void AppendReal(std::string& out, double value) {
    if (!std::isfinite(value)) {
        out += "null";  // JSON has no spelling for these
        return;
    }
    char digits[32];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, end);
}

void AppendJsonVariant(JsonText& out, const VARIANT& value, bool byReference) {
    VARTYPE vt = value.vt;
    if (byReference) vt |= VT_BYREF;
    std::string& text = out.Buffer();
    // Type names need no escapes; written in place, they cost no allocation.
    text += "{\"vt\":\"";
    AppendTypeName(text, vt);
    text += '"';
    const VARTYPE base = value.vt & VT_TYPEMASK;

    if (value.vt & VT_ARRAY) {
        SAFEARRAY* array = (value.vt & VT_BYREF) ? (value.pparray ? *value.pparray : nullptr) : value.parray;
        if (!array) {
            text += ",\"v\":null}";
            return;
        }
        ArrayWriter(out, array, base).Write();
        out.Buffer() += '}';
        return;
    }
    VARIANT plain;
    const VARIANT* shown = &value;
    if (value.vt & VT_BYREF) {
        if (!Dereference(value, base, plain)) {
            text += '}';
            return;
        }
        shown = &plain;
    }
    const std::size_t mark = text.size();
    text += ",\"v\":";
    if (!AppendValue(out, base, *shown)) out.Buffer().resize(mark);
    out.Buffer() += '}';
}

}  // namespace standins
