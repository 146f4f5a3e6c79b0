// The type library against the control: every member of the dispatch
// interface with the name, identifier, kind and types the dispatch map
// answers with; each type's identifier, texts and flags; and the control
// counting its type information.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "control/TesselAdapterApp.h"
#include "control/TesselAdapterCtrl.h"
#include "platform/ComPtr.h"
#include "platform/Guid.h"

namespace {

std::string ReadSource() {
    std::ifstream file(TESSEL_TYPE_LIBRARY_SOURCE);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// One member line of a dispinterface: "[id(45)] long DisableContextMenu(long itemNb);".
struct IdlMember {
    std::string name;
    DISPID id = 0;
    bool isMethod = false;
    VARTYPE type = VT_EMPTY;
    std::vector<VARTYPE> params;
    std::vector<std::string> paramNames;
};

constexpr VARTYPE kUnknownType = 0xFFFF;

VARTYPE TypeOf(const std::string& idlType) {
    static const std::pair<const char*, VARTYPE> kTypes[] = {
        {"IDispatch*", VT_DISPATCH}, {"long", VT_I4}, {"short", VT_I2}, {"BSTR", VT_BSTR},
        {"VARIANT_BOOL", VT_BOOL}, {"VARIANT", VT_VARIANT}, {"void", VT_EMPTY},
    };
    for (const auto& [name, vt] : kTypes)
        if (idlType == name) return vt;
    return kUnknownType;
}

// The text between "dispinterface NAME {" and its "};", with the attribute
// block that precedes it.
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

std::vector<IdlMember> Members(const std::string& body) {
    static const std::regex line(R"(\[id\((\d+)\)[^\]]*\]\s*([\w*]+(?:\s*\*)?)\s+(\w+)\s*(\(([^)]*)\))?\s*;)");
    const std::size_t methodsAt = body.find("methods:");
    std::vector<IdlMember> members;
    for (auto it = std::sregex_iterator(body.begin(), body.end(), line); it != std::sregex_iterator(); ++it) {
        const std::smatch& m = *it;
        IdlMember member{m[3].str(), std::stoi(m[1].str()), static_cast<std::size_t>(m.position(0)) > methodsAt,
                         TypeOf(m[2].str()), {}, {}};
        EXPECT_EQ(member.isMethod, m[4].matched) << member.name << ": a method has parameters in parentheses";
        std::istringstream params(m[5].str());
        for (std::string param; std::getline(params, param, ',');) {
            const std::size_t nameAt = param.find_last_of(" \t");
            const std::size_t typeAt = param.find_first_not_of(" \t");
            if (nameAt != std::string::npos && nameAt > typeAt) {
                member.params.push_back(TypeOf(param.substr(typeAt, param.find_last_not_of(" \t", nameAt) + 1 - typeAt)));
                const std::size_t nameEnd = param.find_last_not_of(" \t");
                member.paramNames.push_back(param.substr(nameAt + 1, nameEnd - nameAt));
            }
        }
        members.push_back(std::move(member));
    }
    return members;
}

class TypeLibraryTest : public ::testing::Test {
protected:
    const std::string source_ = ReadSource();
};

TEST_F(TypeLibraryTest, DispatchInterfaceListsTheMapMemberByMember) {
    ASSERT_FALSE(source_.empty()) << TESSEL_TYPE_LIBRARY_SOURCE;
    const std::vector<IdlMember> idl = Members(FindBlock(source_, "dispinterface", "_DTesselAdapter").body);
    const auto map = CTesselAdapterCtrl::DispatchMap();
    ASSERT_EQ(idl.size(), map.size());
    for (std::size_t i = 0; i < map.size(); ++i) {
        const COleControl::DispEntry& entry = map[i];
        SCOPED_TRACE(entry.name);
        EXPECT_EQ(idl[i].name, entry.name);
        EXPECT_EQ(idl[i].id, entry.id);
        EXPECT_EQ(idl[i].isMethod, entry.IsMethod());
        EXPECT_EQ(idl[i].type, entry.type);
        EXPECT_EQ(idl[i].params, std::vector<VARTYPE>(entry.params, entry.params + entry.paramCount));
        EXPECT_EQ(idl[i].paramNames, std::vector<std::string>(entry.paramNames, entry.paramNames + entry.paramCount));
    }
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

// The control counts its one type information everywhere; off Windows no
// type library can be loaded.
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
