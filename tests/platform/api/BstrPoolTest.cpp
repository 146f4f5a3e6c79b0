// The pool of short-string blocks that strings come from off Windows.
#ifndef _WIN32
#include <thread>
#include <vector>

#include "../PlatformTest.h"
#include "platform/posix/BstrPool.h"

namespace {

using platform::posix::BstrPool;
typedef LeakChecked BstrPoolTest;

// Strings up to the largest block and past it, made in blocks dirtied by freed strings: length, characters, NUL.
TEST_F(BstrPoolTest, ReusedBlocksHoldExactlyTheNewString) {
    const std::vector<char> dirt(4096, 'x');
    for (int round = 0; round < 2; ++round) {
        // Enough strings to fill and empty whole slabs, so they come back.
        std::vector<BSTR> dirty;
        for (int i = 0; i < 20000; ++i) dirty.push_back(SysAllocStringByteLen(dirt.data(), 1 + i % 600));
        for (BSTR text : dirty) SysFreeString(text);
    }
    static const OLECHAR kText[] = u"Caf\u00e9 au lait, per unit";
    // The longest string the pool holds: its block adds an 8-byte header and 3 spare bytes.
    constexpr UINT kLargest = BstrPool::kLargestBlock - 11;
    struct Case { const char* what; BSTR text; UINT byteLength; const void* bytes; };  // bytes null: all zero
    const Case cases[] = {
        {"empty", SysAllocStringLen(nullptr, 0), 0, nullptr},
        {"one unset character", SysAllocStringLen(nullptr, 1), 2, nullptr},
        {"odd bytes", SysAllocStringByteLen("abc", 3), 3, "abc"},
        {"unset bytes", SysAllocStringByteLen(nullptr, 7), 7, nullptr},
        {"text", SysAllocString(kText), sizeof kText - 2, kText},
        {"largest pooled", SysAllocStringByteLen(dirt.data(), kLargest), kLargest, dirt.data()},
        {"just beyond the pool", SysAllocStringByteLen(nullptr, kLargest + 1), kLargest + 1, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ExpectLaidOut(c.text, c.byteLength, c.bytes);
        SysFreeString(c.text);
    }
}

// Made on two threads at once, each freed on the other; ended threads hand their slabs back, so rounds add none.
TEST_F(BstrPoolTest, StringsCrossThreadsAndEndedThreadsLeaveNoSlab) {
    constexpr int kStrings = 30000;  // several slabs' worth
    const auto makeMany = [](std::vector<BSTR>& out) {
        for (int i = 0; i < kStrings; ++i) out.push_back(SysAllocString(u"objective key"));
    };
    long slabsAfterFirstRound = 0;
    for (int round = 0; round < 8; ++round) {
        SCOPED_TRACE(round);
        std::vector<BSTR> madeThere, madeHere;
        std::thread maker([&] { makeMany(madeThere); });
        makeMany(madeHere);
        maker.join();
        std::thread freer([&] {
            for (BSTR text : madeHere) SysFreeString(text);
        });
        for (BSTR text : madeThere) {
            EXPECT_EQ(SysStringLen(text), 13u);
            SysFreeString(text);
        }
        freer.join();
        if (round == 0) slabsAfterFirstRound = BstrPool::SlabCount();
        // One more at most: the main thread's own slab is part carved.
        EXPECT_LE(BstrPool::SlabCount(), slabsAfterFirstRound + 1);
    }
    if (!BstrPool::Enabled()) GTEST_SKIP() << "the pool is off under AddressSanitizer";
    EXPECT_GT(slabsAfterFirstRound, 0);
}

}  // namespace
#endif
