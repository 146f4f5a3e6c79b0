#include "tools/AdapterMembers.h"

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "control/TesselAdapterCtrl.h"

namespace tessel {

namespace {

using enum MemberKind;

MemberKind KindOf(const COleControl::DispEntry& entry) {
    if (entry.isMethod) return Method;
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
    return {entry.name,
            kind,
            kind != Method && entry.get != nullptr,
            kind != Method && entry.set != nullptr,
            entry.paramCount ? entry.params[0] : VARTYPE{VT_EMPTY},
            kind == Method ? entry.type : VARTYPE{VT_EMPTY}};
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

}  // namespace tessel
