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
    using Options = std::set<std::string, std::less<>>;

    // valued: options with a value (--opt VALUE or --opt=VALUE); switches:
    // options on their own. Raises UsageError, with the nearest option, for
    // an option the command does not take, and for a missing value.
    CommandLine(std::vector<std::string> words, Options valued, Options switches);

    const std::vector<std::string>& Positional() const noexcept { return positional_; }
    bool Has(std::string_view option) const;
    // The option's value, or fallback when it was not given.
    std::string Value(std::string_view option, std::string fallback = {}) const;

private:
    static std::string Unknown(const std::string& option, const Options& valued, const Options& switches);

    std::vector<std::string> positional_;
    std::map<std::string, std::string, std::less<>> values_;
    std::set<std::string, std::less<>> switches_;
};

}  // namespace tessel
