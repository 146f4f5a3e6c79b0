// Reads a session file into steps, checking all of it before anything runs:
// a session with a syntax error runs no step at all.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "tools/Step.h"

namespace tessel {

class SessionParser {
public:
    // Raises SessionError for the first line at fault.
    static std::vector<Step> Parse(std::string_view text);
    // The word that starts a step of this kind ("set", "get", "call" ...).
    static std::string_view StepName(Step::Kind kind);

private:
    struct Word {
        std::string text;
        bool quoted = false;
        bool Is(std::string_view keyword) const { return !quoted && text == keyword; }
    };

    explicit SessionParser(long line) : line_(line) {}

    static std::vector<Word> SplitWords(std::string_view line, long number);
    Step ParseLine(const std::vector<Word>& words);
    Step ParseEnv(const std::vector<Word>& words);
    Step ParseVersion(const std::vector<Word>& words);
    Step ParseAttach(const std::vector<Word>& words);
    Step ParseWebgui(const std::vector<Word>& words);
    Step ParseDialog(const std::vector<Word>& words);
    Step ParseSet(const std::vector<Word>& words);
    Step ParseGet(const std::vector<Word>& words);
    Step ParseCall(const std::vector<Word>& words);
    Step ParseChart(const std::vector<Word>& words);
    Step MemberCall(std::string_view method, std::optional<Argument> argument);

    const AdapterMember& Member(const Word& word) const;
    Argument ArgumentFor(VARTYPE type, const Word& word) const;
    OleString Text(const Word& word) const;
    const std::string& FileName(const Word& word) const;
    template <class Int>
    Int Number(const Word& word, const char* what) const;
    void Expect(const std::vector<Word>& words, std::size_t least, std::size_t most, const char* usage) const;
    [[noreturn]] void Fail(const std::string& message) const;

    struct Verb {
        std::string_view name;
        Step (SessionParser::*parse)(const std::vector<Word>&);
        std::optional<Step::Kind> names;  // the kind whose name this is
    };
    static const Verb kVerbs[];

    long line_;
};

}  // namespace tessel
