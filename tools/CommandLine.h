// The words after a command: positional words and --options, checked
// against what the command takes.
#pragma once

#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tessel {

class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class CommandLine {
public:
    // valued: options followed by a value; switches: options on their own.
    // Raises UsageError for an option the command does not take or a value
    // that is missing.
    CommandLine(std::vector<std::string> words, std::set<std::string, std::less<>> valued,
                std::set<std::string, std::less<>> switches);

    const std::vector<std::string>& Positional() const noexcept { return positional_; }
    bool Has(std::string_view option) const;
    // The option's value, or fallback when it was not given.
    std::string Value(std::string_view option, std::string fallback = {}) const;

private:
    std::vector<std::string> positional_;
    std::map<std::string, std::string, std::less<>> values_;
    std::set<std::string, std::less<>> switches_;
};

}  // namespace tessel
