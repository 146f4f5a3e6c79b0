#include "platform/ComponentError.h"

#include <cstdint>
#include <utility>

#include "platform/Guid.h"
#include "platform/HexText.h"
#include "platform/Utf8.h"

namespace {

struct ResultText {
    HRESULT code;
    const OLECHAR* text;
};

// The platform's own short texts, without the closing full stop.
const ResultText kResultTexts[] = {
    {S_OK, OLESTR("The operation completed successfully")},
    // S_FALSE shares its value with the system error 1, whose text this is.
    {S_FALSE, OLESTR("Incorrect function")},
    {E_NOTIMPL, OLESTR("Not implemented")},
    {E_NOINTERFACE, OLESTR("No such interface supported")},
    {E_POINTER, OLESTR("Invalid pointer")},
    {E_FAIL, OLESTR("Unspecified error")},
    {E_UNEXPECTED, OLESTR("Catastrophic failure")},
    {E_ACCESSDENIED, OLESTR("Access is denied")},
    {E_OUTOFMEMORY, OLESTR("Out of memory")},
    {E_INVALIDARG, OLESTR("The parameter is incorrect")},
    {DISP_E_UNKNOWNINTERFACE, OLESTR("Unknown interface")},
    {DISP_E_MEMBERNOTFOUND, OLESTR("Member not found")},
    {DISP_E_PARAMNOTFOUND, OLESTR("Parameter not found")},
    {DISP_E_TYPEMISMATCH, OLESTR("Type mismatch")},
    {DISP_E_UNKNOWNNAME, OLESTR("Unknown name")},
    {DISP_E_NONAMEDARGS, OLESTR("No named arguments")},
    {DISP_E_BADVARTYPE, OLESTR("Bad variable type")},
    {DISP_E_EXCEPTION, OLESTR("Exception occurred")},
    {DISP_E_OVERFLOW, OLESTR("Out of present range")},
    {DISP_E_BADINDEX, OLESTR("Invalid index")},
    {DISP_E_ARRAYISLOCKED, OLESTR("Memory is locked")},
    {DISP_E_BADPARAMCOUNT, OLESTR("Invalid number of parameters")},
    {DISP_E_PARAMNOTOPTIONAL, OLESTR("Parameter not optional")},
    {TYPE_E_ELEMENTNOTFOUND, OLESTR("Element not found")},
    {CLASS_E_NOAGGREGATION, OLESTR("Class does not support aggregation (or class object is remote)")},
    {CLASS_E_CLASSNOTAVAILABLE, OLESTR("ClassFactory cannot supply requested class")},
    {REGDB_E_CLASSNOTREG, OLESTR("Class not registered")},
    {SELFREG_E_TYPELIB, OLESTR("Failed to register/unregister type library")},
    {SELFREG_E_CLASS, OLESTR("Failed to register/unregister class")},
    {CTL_E_SETNOTSUPPORTED, OLESTR("Property is read-only")},
    {CTL_E_GETNOTSUPPORTED, OLESTR("Property is write-only")},
};

// " [IHostTable {E56BC140-...}]", naming only what is known.
std::string WhereText(const InterfaceId& where) {
    if (!where.name && !where.iid) return {};
    std::string text = " [";
    if (where.name) text += where.name;
    if (where.name && where.iid) text += ' ';
    if (where.iid) text += GuidToString(*where.iid);
    return text + ']';
}

}  // namespace

ComponentError::ComponentError(HRESULT code, InterfaceId where, OleString description)
    : code_(code), where_(where), description_(description.empty() ? DescribeResult(code) : std::move(description)) {
    what_ = ResultCodeText(code_) + ' ' + ToUtf8(description_) + WhereText(where_);
}

void RaiseError(HRESULT code, InterfaceId where, OleString description) {
    throw ComponentError(code, where, std::move(description));
}

OleString DescribeResult(HRESULT code) {
    for (const ResultText& entry : kResultTexts)
        if (entry.code == code) return entry.text;
    const std::string text = "Error " + ResultCodeText(code);
    return OleString(text.begin(), text.end());
}

std::string ResultCodeText(HRESULT code) {
    std::string text = "0x";
    AppendHex(text, static_cast<std::uint32_t>(code), 8);
    return text;
}
