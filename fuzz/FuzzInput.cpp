#include "fuzz/FuzzInput.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "links/TemplateStore.h"
#include "platform/LiveCounts.h"
#include "standins/HostRecordTable.h"
#include "standins/StandInObject.h"

namespace fuzzing {

std::string_view FuzzInput::Bytes(std::size_t length) noexcept {
    const std::size_t taken = std::min(length, size_ - at_);
    const std::string_view bytes(reinterpret_cast<const char*>(data_ + at_), taken);
    at_ += taken;
    return bytes;
}

COleVariant FuzzInput::Text() {
    OleString text(Pick(64), u'\0');
    for (OLECHAR& unit : text) unit = static_cast<OLECHAR>(Word());
    return COleVariant(text.data(), static_cast<UINT>(text.size()));
}

COleVariant FuzzInput::Variant(int depth) {
    COleVariant value;
    switch (Pick(16)) {
        case 0: break;
        case 1: value.vt = VT_NULL; break;
        case 2: value = COleVariant(static_cast<SHORT>(Word()), VT_I2); break;
        case 3: value = COleVariant(static_cast<LONG>(Long())); break;
        case 4: {
            const std::uint64_t bits = Long() | static_cast<std::uint64_t>(Long()) << 32;
            double real;
            std::memcpy(&real, &bits, sizeof real);
            value = COleVariant(real);
            break;
        }
        case 5: case 6: value = Text(); break;
        case 7: value = COleVariant(static_cast<SHORT>(Word()), VT_BOOL); break;  // not only 0 and -1
        case 8: value.vt = VT_ERROR; value.scode = static_cast<SCODE>(Long()); break;
        case 9: value.vt = VT_DATE; value.date = static_cast<double>(static_cast<std::int32_t>(Long())) / 7; break;
        case 10: value.vt = VT_CY; value.llVal = static_cast<std::int64_t>(Long()) << Pick(32); break;
        case 11: value.vt = VT_UI1; value.bVal = Byte(); break;
        case 12: value.vt = VT_R4; value.fltVal = static_cast<float>(static_cast<std::int32_t>(Long())) / 3; break;
        case 13: value.vt = VT_DISPATCH; value.pdispVal = nullptr; break;
        case 14: value = COleVariant(static_cast<IDispatch*>(standins::HostRecordTable::Create().Get())); break;
        default:
            if (depth < 2) value = Array(depth + 1);
            break;
    }
    return value;
}

COleVariant FuzzInput::Array(int depth) {
    static constexpr VARTYPE kTypes[] = {VT_VARIANT, VT_VARIANT, VT_VARIANT, VT_VARIANT, VT_UI1, VT_BSTR, VT_I4, VT_VARIANT};
    const std::uint8_t shape = Byte();
    const VARTYPE type = kTypes[shape % 8];
    const UINT dims = 1 + (shape >> 3) % 3;
    std::vector<SAFEARRAYBOUND> bounds(dims);
    ULONG elements = 1;
    for (SAFEARRAYBOUND& bound : bounds) {
        bound.cElements = Pick(10);
        bound.lLbound = static_cast<LONG>(Pick(5)) - 2;
        elements *= bound.cElements;
    }
    COleVariant value;
    value.parray = SafeArrayCreate(type, dims, bounds.data());
    if (!value.parray) return value;
    value.vt = static_cast<VARTYPE>(VT_ARRAY | type);
    void* data = nullptr;
    if (FAILED(SafeArrayAccessData(value.parray, &data))) return value;
    for (ULONG i = 0; i < elements; ++i) {
        switch (type) {
            case VT_UI1: static_cast<BYTE*>(data)[i] = Byte(); break;
            case VT_I4: static_cast<LONG*>(data)[i] = static_cast<LONG>(Long()); break;
            case VT_BSTR: static_cast<BSTR*>(data)[i] = Text().Detach().bstrVal; break;
            default: static_cast<VARIANT*>(data)[i] = Variant(depth).Detach(); break;
        }
    }
    SafeArrayUnaccessData(value.parray);
    return value;
}

LeakGuard::LeakGuard() : bstrs_(platform::LiveBstrCount()), arrays_(platform::LiveArrayCount()) {}

LeakGuard::~LeakGuard() {
    CTemplateStore::DiscardAll();
    if (standins::LiveObjects() != 0 || platform::LiveBstrCount() != bstrs_ || platform::LiveArrayCount() != arrays_) {
        std::fprintf(stderr, "leak: %ld stand-ins, %ld strings, %ld arrays left alive\n", standins::LiveObjects(),
                     platform::LiveBstrCount() - bstrs_, platform::LiveArrayCount() - arrays_);
        std::abort();
    }
}

}  // namespace fuzzing
