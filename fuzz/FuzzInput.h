// Turns a fuzzer's bytes into the values a target needs: small numbers,
// texts, variants of every kind the control may meet, and arrays of any
// shape. Reading past the end yields zeros, so every input decodes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/OleVariant.h"

namespace fuzzing {

class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool Empty() const noexcept { return at_ == size_; }
    std::uint8_t Byte() noexcept { return at_ < size_ ? data_[at_++] : 0; }
    std::uint16_t Word() noexcept { return static_cast<std::uint16_t>(Byte() | Byte() << 8); }
    std::uint32_t Long() noexcept { return Word() | static_cast<std::uint32_t>(Word()) << 16; }
    // One of `count` choices.
    std::size_t Pick(std::size_t count) noexcept { return Byte() % count; }
    // Up to `length` bytes, fewer at the end.
    std::string_view Bytes(std::size_t length) noexcept;
    std::string_view Rest() noexcept { return Bytes(size_ - at_); }

    // A text of up to 63 UTF-16 units, lone surrogates included.
    COleVariant Text();
    // A variant of any kind: empty, null, numbers, texts, booleans of any
    // value, errors, dates, currency, null and live dispatch pointers,
    // and (below `depth` 2) arrays.
    COleVariant Variant(int depth = 0);
    // An array of 1 to 3 dimensions, up to 9 elements each, lower bounds
    // -2 to 2, of variants, bytes, texts or longs.
    COleVariant Array(int depth = 0);

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

// Aborts when an input left a stand-in, a string or an array alive, so that
// the fuzzer reports it as a finding.
class LeakGuard {
public:
    LeakGuard();
    ~LeakGuard();
    LeakGuard(const LeakGuard&) = delete;
    LeakGuard& operator=(const LeakGuard&) = delete;

private:
    long bstrs_;
    long arrays_;
};

}  // namespace fuzzing
