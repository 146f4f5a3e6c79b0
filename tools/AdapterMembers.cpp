#include "tools/AdapterMembers.h"

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "control/TesselAdapterCtrl.h"
#include "tools/CommandLine.h"
#include "tools/Nearest.h"

namespace tessel {

namespace {

using enum MemberKind;

MemberKind KindOf(const COleControl::DispEntry& entry) {
    if (entry.IsMethod()) return Method;
    switch (entry.type) {
        case VT_DISPATCH: return TableProperty;
        case VT_I4: return LongProperty;
        case VT_BSTR: return TextProperty;
        default: throw std::logic_error(std::string("no session form for the type of ") + entry.name);
    }
}

AdapterMember FromEntry(const COleControl::DispEntry& entry) {
    // A session passes at most one argument word to a method.
    if (entry.paramCount > 1) throw std::logic_error(std::string("more than one parameter: ") + entry.name);
    const MemberKind kind = KindOf(entry);
    if ((kind == TableProperty) != (entry.detail != nullptr))
        throw std::logic_error(std::string("a table property carries what it reads, no other member: ") + entry.name);
    return {entry.name,
            entry.id,
            kind,
            kind != Method && entry.get != nullptr,
            kind != Method && entry.set != nullptr,
            entry.paramCount ? entry.params[0] : VARTYPE{VT_EMPTY},
            kind == Method ? entry.type : VARTYPE{VT_EMPTY},
            entry.paramCount ? entry.paramNames[0] : "",
            entry.detail};
}

// The control's own dispatch map, in dispatch identifier order.
const std::vector<AdapterMember>& Members() {
    static const std::vector<AdapterMember> members = [] {
        std::vector<AdapterMember> out;
        for (const COleControl::DispEntry& entry : CTesselAdapterCtrl::DispatchMap()) out.push_back(FromEntry(entry));
        return out;
    }();
    return members;
}

}  // namespace

std::span<const AdapterMember> AdapterMembers() { return Members(); }

const AdapterMember* FindAdapterMember(std::string_view name) {
    const auto& members = Members();
    const auto found = std::ranges::find(members, name, &AdapterMember::name);
    return found == members.end() ? nullptr : &*found;
}

const AdapterMember& TableProperty(std::string_view name) {
    const AdapterMember* member = FindAdapterMember(name);
    if (member && member->table) return *member;
    std::vector<std::string_view> tables;
    for (const AdapterMember& m : Members())
        if (m.table) tables.push_back(m.name);
    throw UsageError(std::string(name) + " is not a table property" + DidYouMean(Nearest(name, tables)));
}

}  // namespace tessel
