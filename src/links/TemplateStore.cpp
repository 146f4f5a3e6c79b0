#include "links/TemplateStore.h"

std::array<CTemplateStore::Slot, CTemplateStore::kEntryCount>& CTemplateStore::Slots() noexcept {
    static std::array<Slot, kEntryCount> slots;
    return slots;
}

void CTemplateStore::Discard(Entry entry) noexcept {
    Slot& slot = Slots()[entry];
    slot.grid = nullptr;
    slot.converter.reset();
}

void CTemplateStore::DiscardAll() noexcept {
    for (std::uint8_t entry = 0; entry < kEntryCount; ++entry) Discard(static_cast<Entry>(entry));
}
