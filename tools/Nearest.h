// Suggestions for misspelt words: the known name a word most likely meant.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace tessel {

// The name nearest to `word` (edits ignoring letter case), if one is near
// enough to be meant; else empty.
std::string Nearest(std::string_view word, std::span<const std::string_view> names);
// " (did you mean NAME?)", or nothing for an empty name.
std::string DidYouMean(std::string_view nearest);
// " (did you mean NAME?)" for the nearest name, or else every name:
// " (KIND: a, b, c)".
std::string Suggestion(std::string_view word, std::span<const std::string_view> names, std::string_view kind);

}  // namespace tessel
