// The type library's source against the control's dispatch map, its
// identifiers, help texts and flags.
#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "control/TesselAdapterApp.h"
#include "control/TesselAdapterCtrl.h"
#include "platform/ComPtr.h"
#include "platform/Guid.h"
#include "standins/TableFiles.h"

namespace {

// The IDL name of a member's or parameter's type.
std::string IdlType(VARTYPE type) {
    static const std::pair<VARTYPE, const char*> kTypes[] = {
        {VT_DISPATCH, "IDispatch*"}, {VT_I4, "long"}, {VT_I2, "short"}, {VT_BSTR, "BSTR"},
        {VT_BOOL, "VARIANT_BOOL"}, {VT_VARIANT, "VARIANT"}, {VT_EMPTY, "void"},
    };
    for (const auto& [vt, name] : kTypes)
        if (vt == type) return name;
    return "<VT " + std::to_string(type) + ">";
}

// A dispatch map entry as its line in the interface:
// "[id(45)] long DisableContextMenu(long itemNb);".
std::string IdlLine(const COleControl::DispEntry& entry) {
    std::string line = "[id(" + std::to_string(entry.id) + ")] " + IdlType(entry.type) + " " + entry.name;
    if (entry.IsMethod()) {
        line += "(";
        for (std::size_t i = 0; i < entry.paramCount; ++i)
            line += (i ? ", " : "") + IdlType(entry.params[i]) + " " + entry.paramNames[i];
        line += ")";
    }
    return line + ";";
}

// The text between "KEYWORD NAME {" and its "};", and the attributes before.
struct Block {
    std::string attributes;
    std::string body;
};

Block FindBlock(const std::string& source, const std::string& keyword, const std::string& name) {
    const std::regex header("\\[([^\\[\\]]*)\\]\\s*" + keyword + "\\s+" + name + "\\s*\\{");
    std::smatch match;
    if (!std::regex_search(source, match, header)) return {};
    const std::size_t start = match.position(0) + match.length(0);
    const std::size_t end = source.find("};", start);
    return {match[1].str(), source.substr(start, end == std::string::npos ? std::string::npos : end - start)};
}

std::string Attribute(const std::string& attributes, const std::string& name) {
    std::smatch match;
    const std::regex pattern("\\b" + name + "\\(\\s*\"?([^\")]*)\"?\\s*\\)");
    return std::regex_search(attributes, match, pattern) ? match[1].str() : "<missing>";
}

class TypeLibraryTest : public ::testing::Test {
protected:
    const std::string source_ = standins::ReadFileBytes(TESSEL_TYPE_LIBRARY_SOURCE, "the type library source");
};

// Member by member, in order; a method's line is one in the methods section.
TEST_F(TypeLibraryTest, DispatchInterfaceListsTheMapMemberByMember) {
    const std::string body = FindBlock(source_, "dispinterface", "_DTesselAdapter").body;
    const std::size_t methodsAt = body.find("methods:");
    std::vector<std::string> idl, expected;
    std::istringstream lines(body);
    for (std::string line; std::getline(lines, line);) {
        const std::size_t at = line.find_first_not_of(" \t");
        if (at == std::string::npos || line.compare(at, 4, "[id(") != 0) continue;
        const bool inMethods = static_cast<std::size_t>(lines.tellg()) > methodsAt;
        idl.push_back((inMethods ? "method " : "") + line.substr(at));
    }
    for (const COleControl::DispEntry& entry : CTesselAdapterCtrl::DispatchMap())
        expected.push_back((entry.IsMethod() ? "method " : "") + IdlLine(entry));
    EXPECT_EQ(idl, expected);
}

// What the source says of a type, or of the library, as one line: its help
// string, its help file, "hidden", and a class's interfaces after their
// flags ("default source _DEvents").
std::string Described(const Block& block) {
    const std::string file = Attribute(block.attributes, "helpfile");
    std::string line = '"' + Attribute(block.attributes, "helpstring") + '"' + (file == "<missing>" ? "" : " in " + file);
    if (std::regex_search(block.attributes, std::regex("\\bhidden\\b"))) line += ", hidden";
    static const std::regex implemented(R"(\[([^\]]*)\]\s*dispinterface\s+(\w+)\s*;)");
    for (auto it = std::sregex_iterator(block.body.begin(), block.body.end(), implemented); it != std::sregex_iterator();
         ++it)
        line += ", " + std::regex_replace((*it)[1].str(), std::regex("\\s*,\\s*"), " ") + " " + (*it)[2].str();
    return line;
}

// Each type's identifier is the control's, with its texts and flags.
TEST_F(TypeLibraryTest, EachTypeCarriesItsIdentifierHelpStringAndFlags) {
    const struct {
        const char* keyword;
        const char* name;
        const GUID* uuid;
        const char* described;
    } cases[] = {
        {"library", "TesselAdapterLib", &kTesselAdapterLib.libid,
         R"("TesselAdapter ActiveX Control module" in TesselAdapter.hlp)"},
        {"dispinterface", "_DTesselAdapter", &IID_DTesselAdapter, R"("Dispatch interface for TesselAdapter Control", hidden)"},
        {"dispinterface", "_DTesselAdapterEvents", &IID_DTesselAdapterEvents, R"("Event interface for TesselAdapter Control")"},
        {"coclass", "TesselAdapter", &CLSID_TesselAdapter,
         R"("TesselAdapter Control", default _DTesselAdapter, default source _DTesselAdapterEvents)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Block block = FindBlock(source_, c.keyword, c.name);
        EXPECT_EQ(Attribute(block.attributes, "uuid"), GuidToString(*c.uuid).substr(1, 36));
        EXPECT_EQ(Described(block), c.described);
    }
    const Block library = FindBlock(source_, "library", "TesselAdapterLib");
    EXPECT_EQ(Attribute(library.attributes, "version"),
              std::to_string(kTesselAdapterLib.major) + "." + std::to_string(kTesselAdapterLib.minor));
    EXPECT_EQ(std::stoul(Attribute(library.attributes, "lcid"), nullptr, 0), kTesselAdapterLib.lcid);
}

// Off Windows no type library can be loaded.
TEST_F(TypeLibraryTest, TheControlCountsOneTypeInfo) {
    ComPtr<IDispatch> control;
    control.Attach(new CTesselAdapterCtrl);
    UINT count = 0;
    EXPECT_EQ(control->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 1u);
    ITypeInfo* info = nullptr;
    EXPECT_EQ(control->GetTypeInfo(1, 0, &info), DISP_E_BADINDEX);
#ifndef _WIN32
    EXPECT_EQ(control->GetTypeInfo(0, 0, &info), TYPE_E_CANTLOADLIBRARY);
    EXPECT_EQ(info, nullptr);
#endif
}

}  // namespace
