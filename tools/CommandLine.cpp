#include "tools/CommandLine.h"

#include "tools/Nearest.h"

namespace tessel {

CommandLine::CommandLine(std::vector<std::string> words, Options valued, Options switches) {
    bool optionsEnded = false;
    for (std::size_t i = 0; i < words.size(); ++i) {
        std::string& word = words[i];
        if (optionsEnded || word == "-" || !word.starts_with("-")) {
            positional_.push_back(std::move(word));
        } else if (word == "--") {
            optionsEnded = true;
        } else if (const std::size_t equals = word.find('='); equals != std::string::npos && word.starts_with("--")) {
            const std::string option = word.substr(0, equals);
            if (!valued.contains(option)) throw UsageError(Unknown(option, valued, switches));
            values_[option] = word.substr(equals + 1);
        } else if (valued.contains(word)) {
            if (i + 1 == words.size()) throw UsageError(word + " needs a value");
            values_[word] = std::move(words[++i]);
        } else if (switches.contains(word)) {
            switches_.insert(std::move(word));
        } else {
            throw UsageError(Unknown(word, valued, switches));
        }
    }
}

std::string CommandLine::Unknown(const std::string& option, const Options& valued, const Options& switches) {
    if (switches.contains(option)) return option + " takes no value";
    std::vector<std::string_view> known(valued.begin(), valued.end());
    known.insert(known.end(), switches.begin(), switches.end());
    return "unknown option " + option + DidYouMean(Nearest(option, known));
}

bool CommandLine::Has(std::string_view option) const {
    return switches_.contains(option) || values_.contains(option);
}

std::string CommandLine::Value(std::string_view option, std::string fallback) const {
    const auto found = values_.find(option);
    return found == values_.end() ? std::move(fallback) : found->second;
}

}  // namespace tessel
