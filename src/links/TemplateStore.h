// The template store: one entry per map and template property, shared by
// every control of the process. Setting a property fills its entry's
// converter (created empty on first use; a later set refills it); the
// template methods send the grids of their entries to the chart in one call
// and then destroy those entries. An absent entry has no grid.
//
// The store lives as long as the process and is not locked: every control
// runs on the host's one thread, so two controls collecting at once simply
// mix their entries.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <tuple>

#include "links/LinkMap.h"
#include "links/TemplateConverters.h"
#include "platform/OleSafeArray.h"
#include "tables/OrlinTableData.h"
#include "tables/TemplateMap.h"

class CTemplateStore {
public:
    enum Entry : std::uint8_t {
        kStrategyTemplate,
        kObjectiveTemplate,
        kObjectiveLinkTemplate,
        kBlobTemplate,
        kStrategiesFromBlobTemplate,
        kPerspectivesFromBlobTemplate,
        kObjectivesFromBlobTemplate,
        kLinksFromBlobTemplate,
        kStrategyMap,
        kPerspectiveMap,
        kObjectiveMap,
        kLinkMap,
        kEntryCount
    };

    // The converter of each entry, in the order of the entries.
    using Converters = std::tuple<CTemplateStrategy, CTemplateObjective, CTemplateLink, CTemplateBlob,
                                  CTemplateBlobStrategies, CTemplateBlobPerspectives, CTemplateBlobObjectives,
                                  CTemplateBlobLinks, CStrategyMap, CPerspectiveMap, CObjectiveMap, CLinkMap>;
    static_assert(std::tuple_size_v<Converters> == kEntryCount);
    template <Entry E>
    using Converter = std::tuple_element_t<E, Converters>;

    // The entry's converter, created empty when the entry is absent.
    template <Entry E>
    static Converter<E>& Instance() {
        Slot& slot = Slots()[E];
        if (!slot.converter) {
            auto made = std::make_unique<Converter<E>>();
            slot.grid = made.get();
            slot.converter = std::move(made);
        }
        return static_cast<Converter<E>&>(*slot.converter);
    }

    // The entry's grid, or null when the entry is absent.
    static const COleSafeArray* Grid(Entry entry) noexcept { return Slots()[entry].grid; }
    static void Discard(Entry entry) noexcept;
    static void DiscardAll() noexcept;

private:
    struct Slot {
        std::unique_ptr<COrlinTableData> converter;
        const COleSafeArray* grid = nullptr;  // the converter's own grid, its second base
    };
    static std::array<Slot, kEntryCount>& Slots() noexcept;
};
