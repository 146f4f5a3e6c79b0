// CRecordTable: a record converter that is its layouts.
//
// A converter lists, per layout version, the layout it fills from and the
// layout it writes back into; this base implements the six operations of
// COrlinTableData once from that list. An operation without a layout is one
// the converter does not support: it releases the table and fails.
#pragma once

#include <optional>

#include "platform/OleSafeArray.h"
#include "tables/LayoutVersion.h"
#include "tables/OrlinTableData.h"
#include "tables/RecordLayout.h"

// A layout a converter leaves out is valid; one it names must check out.
// (A free function: clang cannot evaluate a member template defined after
// its use inside the class in a constant expression.)
template <class L>
constexpr bool ValidIfNamed(const std::optional<L>& layout) {
    return !layout || layout->IsValid();
}

// The layouts of one converter, in the order of its operations. They are held
// by value, not by address: the static check below must stay a constant
// expression, and some compilers (gcc with -fsanitize=null) refuse to fold a
// comparison of a variable's address with null.
struct RecordLayouts {
    std::optional<FillLayout> fill310 = {};
    std::optional<WriteLayout> write310 = {};
    std::optional<FillLayout> fill30 = {};
    std::optional<WriteLayout> write30 = {};
    std::optional<FillLayout> fill20 = {};
    std::optional<WriteLayout> write20 = {};

    // Every converter fills at layout 310; every layout it names is valid.
    constexpr bool IsValid() const {
        return fill310 && fill310->IsValid() && ValidIfNamed(fill30) && ValidIfNamed(fill20) && ValidIfNamed(write310) &&
               ValidIfNamed(write30) && ValidIfNamed(write20);
    }

    // The layouts of one version, for code that walks them.
    constexpr const std::optional<FillLayout>& Fill(Layout layout) const noexcept {
        return layout == Layout::V310 ? fill310 : layout == Layout::V30 ? fill30 : fill20;
    }
    constexpr const std::optional<WriteLayout>& Write(Layout layout) const noexcept {
        return layout == Layout::V310 ? write310 : layout == Layout::V30 ? write30 : write20;
    }
};

template <const RecordLayouts& Layouts>
class CRecordTable : public COrlinTableData, public COleSafeArray {
    static_assert(Layouts.IsValid());

public:
    static constexpr const RecordLayouts& kLayouts = Layouts;

    BOOL Fill310(ComPtr<IHostTable> table) override { return Fill(Layouts.fill310, std::move(table)); }
    BOOL WriteBackRows310(ComPtr<IHostTable> table) override { return WriteBack(Layouts.write310, std::move(table)); }
    BOOL Fill30(ComPtr<IHostTable> table) override { return Fill(Layouts.fill30, std::move(table)); }
    BOOL WriteBackRows30(ComPtr<IHostTable> table) override { return WriteBack(Layouts.write30, std::move(table)); }
    BOOL Fill20(ComPtr<IHostTable> table) override { return Fill(Layouts.fill20, std::move(table)); }
    BOOL WriteBackRows20(ComPtr<IHostTable> table) override { return WriteBack(Layouts.write20, std::move(table)); }

private:
    BOOL Fill(const std::optional<FillLayout>& layout, ComPtr<IHostTable> table) {
        return layout ? FillRecords(*this, std::move(table), *layout) : Unsupported(std::move(table));
    }
    BOOL WriteBack(const std::optional<WriteLayout>& layout, ComPtr<IHostTable> table) {
        return layout ? WriteRecords(*this, std::move(table), *layout) : Unsupported(std::move(table));
    }
};
