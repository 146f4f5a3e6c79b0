// The command-line host's member table, read from the control's dispatch
// map: each kind of member comes out with the access and types a session
// needs.
#include <gtest/gtest.h>

#include "tools/AdapterMembers.h"

namespace {

using tessel::AdapterMember;
using tessel::MemberKind;

TEST(AdapterMembers, EveryKindOfMemberKeepsItsAccessAndTypes) {
    struct Case {
        const char* name;
        MemberKind kind;
        bool readable, writable;
        VARTYPE parameter, result;
    };
    const Case cases[] = {
        {"Perspectives", MemberKind::TableProperty, false, true, VT_EMPTY, VT_EMPTY},
        {"Objectives", MemberKind::TableProperty, true, true, VT_EMPTY, VT_EMPTY},
        {"StatusBitmapVersion", MemberKind::LongProperty, true, true, VT_EMPTY, VT_EMPTY},
        {"SelectedStrategy", MemberKind::TextProperty, true, false, VT_EMPTY, VT_EMPTY},
        {"HandleTesselCtrl", MemberKind::Method, false, false, VT_DISPATCH, VT_EMPTY},
        {"DisableContextMenu", MemberKind::Method, false, false, VT_I4, VT_I4},
        {"SetUseWEBGui", MemberKind::Method, false, false, VT_BOOL, VT_EMPTY},
        {"AddTemplateEx", MemberKind::Method, false, false, VT_EMPTY, VT_EMPTY},
    };
    EXPECT_EQ(tessel::AdapterMembers().size(), 53u);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const AdapterMember* member = tessel::FindAdapterMember(c.name);
        ASSERT_NE(member, nullptr);
        EXPECT_EQ(member->kind, c.kind);
        EXPECT_EQ(member->readable, c.readable);
        EXPECT_EQ(member->writable, c.writable);
        EXPECT_EQ(member->parameter, c.parameter);
        EXPECT_EQ(member->result, c.result);
    }
    EXPECT_EQ(tessel::FindAdapterMember("objectives"), nullptr);
}

}  // namespace
