#include "tools/Nearest.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace tessel {

namespace {

char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

// Edits (insert, delete, replace) between two names, ignoring case.
std::size_t Distance(std::string_view a, std::string_view b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({above + 1, row[j - 1] + 1, diagonal + (Lower(a[i - 1]) == Lower(b[j - 1]) ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

}  // namespace

std::string Nearest(std::string_view word, std::span<const std::string_view> names) {
    // A megabyte-long word is near nothing; the table would be huge.
    if (word.size() > 256) return {};
    std::string_view best;
    std::size_t bestDistance = std::max<std::size_t>(2, word.size() / 3) + 1;
    for (const std::string_view name : names)
        if (const std::size_t d = Distance(word, name); d < bestDistance) bestDistance = d, best = name;
    return std::string(best);
}

std::string DidYouMean(std::string_view nearest) {
    return nearest.empty() ? std::string() : " (did you mean " + std::string(nearest) + "?)";
}

std::string Suggestion(std::string_view word, std::span<const std::string_view> names, std::string_view kind) {
    if (const std::string nearest = Nearest(word, names); !nearest.empty()) return DidYouMean(nearest);
    std::string all = " (" + std::string(kind) + ": ";
    for (std::size_t i = 0; i < names.size(); ++i) all += (i ? ", " : "") + std::string(names[i]);
    return all + ")";
}

}  // namespace tessel
