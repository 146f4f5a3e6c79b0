#include "tools/CommandLine.h"

namespace tessel {

CommandLine::CommandLine(std::vector<std::string> words, std::set<std::string, std::less<>> valued,
                         std::set<std::string, std::less<>> switches) {
    bool optionsEnded = false;
    for (std::size_t i = 0; i < words.size(); ++i) {
        std::string& word = words[i];
        if (optionsEnded || word == "-" || !word.starts_with("-")) {
            positional_.push_back(std::move(word));
        } else if (word == "--") {
            optionsEnded = true;
        } else if (valued.contains(word)) {
            if (i + 1 == words.size()) throw UsageError(word + " needs a value");
            values_[word] = std::move(words[++i]);
        } else if (switches.contains(word)) {
            switches_.insert(std::move(word));
        } else {
            throw UsageError("unknown option " + word);
        }
    }
}

bool CommandLine::Has(std::string_view option) const {
    return switches_.contains(option) || values_.contains(option);
}

std::string CommandLine::Value(std::string_view option, std::string fallback) const {
    const auto found = values_.find(option);
    return found == values_.end() ? std::move(fallback) : found->second;
}

}  // namespace tessel
