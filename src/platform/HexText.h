// Hexadecimal text, written one way for the whole tree: result codes, GUIDs,
// escapes and byte dumps all go through here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

enum class HexCase { Lower, Upper };

// The low `digits` hexadecimal digits of value, most significant first.
void AppendHex(std::string& out, std::uint64_t value, int digits, HexCase letters = HexCase::Upper);
// Two digits per byte, no separator.
void AppendHexBytes(std::string& out, const unsigned char* bytes, std::size_t count,
                    HexCase letters = HexCase::Lower);
