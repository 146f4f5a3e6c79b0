#include "tools/SessionParser.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <initializer_list>
#include <vector>

#include "standins/TableFiles.h"
#include "standins/Utf8.h"
#include "tools/Nearest.h"

namespace tessel {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

Argument NumberArgument(VARTYPE type, LONG number) {
    Argument argument;
    argument.type = type;
    argument.number = number;
    return argument;
}

const char* TypeWord(VARTYPE type) {
    switch (type) {
        case VT_I4: return "a 32-bit number";
        case VT_I2: return "a 16-bit number";
        case VT_BOOL: return "on or off";
        case VT_BSTR: return "a text";
        case VT_DISPATCH: return "chart or null";
        default: return "nothing";
    }
}

}  // namespace

std::vector<Step> SessionParser::Parse(std::string_view text) {
    if (text.starts_with(standins::kUtf8ByteOrderMark)) text.remove_prefix(standins::kUtf8ByteOrderMark.size());
    if (const long lone = standins::LineOfLoneCr(text)) throw SessionError(lone, std::string(standins::kLoneCr));
    std::vector<Step> steps;
    long controlLine = 0;  // the step that creates the control
    long number = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        ++number;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

        const std::vector<Word> words = SplitWords(line, number);
        if (words.empty()) continue;
        SessionParser parser(number);
        Step step = parser.ParseLine(words);
        step.line = number;
        if (step.kind == Step::Kind::Env && controlLine != 0)
            parser.Fail("env must come before the control is created (line " + std::to_string(controlLine) +
                        " creates it)");
        if (step.CallsMember() && controlLine == 0) controlLine = number;
        steps.push_back(std::move(step));
    }
    return steps;
}

std::vector<SessionParser::Word> SessionParser::SplitWords(std::string_view line, long number) {
    const SessionParser at(number);
    std::vector<Word> words;
    std::size_t i = 0;
    while (true) {
        while (i < line.size() && IsBlank(line[i])) ++i;
        if (i == line.size() || line[i] == '#') break;
        Word word;
        if (line[i] == '"') {
            word.quoted = true;
            for (++i;; ++i) {
                if (i == line.size()) at.Fail("a quoted word has no closing quote");
                if (line[i] == '"') break;
                if (line[i] == '\\') {
                    if (i + 1 == line.size() || (line[i + 1] != '"' && line[i + 1] != '\\'))
                        at.Fail("inside quotes only \\\" and \\\\ are escapes");
                    ++i;
                }
                word.text += line[i];
            }
            ++i;
            if (i < line.size() && !IsBlank(line[i])) at.Fail("a quoted word must end at a blank");
        } else {
            const std::size_t start = i;
            while (i < line.size() && !IsBlank(line[i])) {
                if (line[i] == '"') at.Fail("a quote inside a word; quote the whole word");
                ++i;
            }
            word.text = line.substr(start, i - start);
        }
        words.push_back(std::move(word));
    }
    return words;
}

// Every step's first word, in the order the help lists them, with the
// step kind it is the name of (traces and summaries name steps by it).
const SessionParser::Verb SessionParser::kVerbs[] = {
    {"env", &SessionParser::ParseEnv, Step::Kind::Env},
    {"version", &SessionParser::ParseVersion, std::nullopt},
    {"attach", &SessionParser::ParseAttach, std::nullopt},
    {"webgui", &SessionParser::ParseWebgui, std::nullopt},
    {"set", &SessionParser::ParseSet, Step::Kind::Set},
    {"get", &SessionParser::ParseGet, Step::Kind::Get},
    {"call", &SessionParser::ParseCall, Step::Kind::Call},
    {"chart", &SessionParser::ParseChart, std::nullopt},
    {"dialog", &SessionParser::ParseDialog, Step::Kind::Dialog},
};

std::string_view SessionParser::StepName(Step::Kind kind) {
    for (const Verb& verb : kVerbs)
        if (verb.names == kind) return verb.name;
    return "chart";
}

Step SessionParser::ParseLine(const std::vector<Word>& words) {
    const Word& first = words[0];
    if (first.quoted) Fail("a step starts with an unquoted step name");
    std::vector<std::string_view> names;
    for (const Verb& verb : kVerbs) {
        if (first.text == verb.name) return (this->*verb.parse)(words);
        names.push_back(verb.name);
    }
    Fail("unknown step '" + first.text + "'" + Suggestion(first.text, names, "steps"));
}

Step SessionParser::ParseEnv(const std::vector<Word>& words) {
    Expect(words, 2, 2, "env default|none|noscheme");
    const Word& which = words[1];
    static constexpr std::string_view kEnvironments[] = {"default", "none", "noscheme"};
    if (!which.Is("default") && !which.Is("none") && !which.Is("noscheme"))
        Fail("env is default, none or noscheme, not '" + which.text + "'" +
             DidYouMean(Nearest(which.text, kEnvironments)));
    Step step;
    step.kind = Step::Kind::Env;
    step.text = which.text;
    return step;
}

Step SessionParser::ParseVersion(const std::vector<Word>& words) {
    Expect(words, 2, 2, "version N");
    return MemberCall("SetVersion", NumberArgument(VT_I2, Number<SHORT>(words[1], "a 16-bit number")));
}

Step SessionParser::ParseAttach(const std::vector<Word>& words) {
    Expect(words, 1, 2, "attach [null]");
    if (words.size() == 2 && !words[1].Is("null")) Fail("attach takes nothing or null");
    Argument handle = NumberArgument(VT_DISPATCH, 0);
    handle.chart = words.size() == 1;
    return MemberCall("HandleTesselCtrl", handle);
}

Step SessionParser::ParseWebgui(const std::vector<Word>& words) {
    Expect(words, 2, 2, "webgui on|off");
    static constexpr std::string_view kSwitches[] = {"on", "off"};
    if (!words[1].Is("on") && !words[1].Is("off"))
        Fail("webgui is on or off, not '" + words[1].text + "'" + DidYouMean(Nearest(words[1].text, kSwitches)));
    return MemberCall("SetUseWEBGui", NumberArgument(VT_BOOL, words[1].Is("on") ? 1 : 0));
}

Step SessionParser::ParseDialog(const std::vector<Word>& words) {
    Expect(words, 2, 2, "dialog PATH|cancel");
    Step step;
    step.kind = Step::Kind::Dialog;
    step.cancel = words[1].Is("cancel");
    if (!step.cancel) step.file = FileName(words[1]);
    return step;
}

Step SessionParser::MemberCall(std::string_view method, std::optional<Argument> argument) {
    Step step;
    step.kind = Step::Kind::Call;
    step.member = FindAdapterMember(method);
    step.argument = std::move(argument);
    return step;
}

Step SessionParser::ParseSet(const std::vector<Word>& words) {
    Expect(words, 3, 4, "set PROPERTY FILE [flag=N], set PROPERTY null or set PROPERTY N");
    Step step;
    step.kind = Step::Kind::Set;
    step.member = &Member(words[1]);
    if (!step.member->IsProperty())
        Fail(std::string(step.member->name) + " is a method: call " + std::string(step.member->name));
    const Word& value = words[2];
    if (value.Is("null")) {
        step.value = Step::Value::Null;
    } else if (step.member->kind == MemberKind::TableProperty) {
        step.value = Step::Value::File;
        step.file = FileName(value);
        if (words.size() == 4) {
            const Word& flag = words[3];
            if (flag.quoted || !flag.text.starts_with("flag="))
                Fail("after the file only flag=N may follow, not '" + flag.text + "'");
            step.flag = Number<LONG>(Word{flag.text.substr(5)}, "a 32-bit number");
        }
        return step;
    } else {
        step.value = Step::Value::Number;
        step.number = Number<LONG>(value, "a 32-bit number");
    }
    if (words.size() == 4) Fail("only a table file takes flag=N");
    return step;
}

Step SessionParser::ParseGet(const std::vector<Word>& words) {
    Expect(words, 2, 3, "get PROPERTY [FILE]");
    Step step;
    step.kind = Step::Kind::Get;
    step.member = &Member(words[1]);
    if (!step.member->IsProperty())
        Fail(std::string(step.member->name) + " is a method: call " + std::string(step.member->name));
    if (words.size() == 3) {
        if (step.member->kind != MemberKind::TableProperty)
            Fail(std::string(step.member->name) + " returns no table to save");
        step.file = FileName(words[2]);
    }
    return step;
}

Step SessionParser::ParseCall(const std::vector<Word>& words) {
    Expect(words, 2, 3, "call METHOD [ARGUMENT]");
    const AdapterMember& method = Member(words[1]);
    const std::string name(method.name);
    if (method.IsProperty()) Fail(name + " is a property: set or get it");
    if (method.TakesArgument() && words.size() != 3)
        Fail(name + " takes one argument, " + TypeWord(method.parameter));
    if (!method.TakesArgument() && words.size() != 2) Fail(name + " takes no argument");
    std::optional<Argument> argument;
    if (method.TakesArgument()) argument = ArgumentFor(method.parameter, words[2]);
    return MemberCall(method.name, std::move(argument));
}

Step SessionParser::ParseChart(const std::vector<Word>& words) {
    if (words.size() < 2) Fail("chart needs what to set: grid, bytes, selection, matrix, strategy or fail");
    const Word& what = words[1];
    Step step;
    if (what.Is("grid") || what.Is("bytes")) {
        Expect(words, 4, 4, what.Is("grid") ? "chart grid DISPID FILE.tsv" : "chart bytes DISPID FILE");
        step.kind = what.Is("grid") ? Step::Kind::ChartGrid : Step::Kind::ChartBytes;
        step.number = Number<LONG>(words[2], "a dispatch identifier");
        step.file = FileName(words[3]);
    } else if (what.Is("selection")) {
        Expect(words, 5, 5, "chart selection OBJECT STRATEGY PERSPECTIVE");
        step.kind = Step::Kind::ChartSelection;
        for (std::size_t i = 2; i < 5; ++i) step.texts.push_back(Text(words[i]));
    } else if (what.Is("matrix")) {
        Expect(words, 4, 4, "chart matrix OBJECT ROW");
        step.kind = Step::Kind::ChartMatrix;
        for (std::size_t i = 2; i < 4; ++i) step.texts.push_back(Text(words[i]));
    } else if (what.Is("strategy")) {
        Expect(words, 3, 3, "chart strategy TEXT");
        step.kind = Step::Kind::ChartStrategy;
        step.texts.push_back(Text(words[2]));
    } else if (what.Is("fail")) {
        Expect(words, 4, 5, "chart fail DISPID 0xHRESULT [\"description\"]");
        step.kind = Step::Kind::ChartFail;
        step.number = Number<LONG>(words[2], "a dispatch identifier");
        const std::string& code = words[3].text;
        std::uint32_t value = 0;
        const char* end = code.data() + code.size();
        if (words[3].quoted || code.size() < 3 || code.size() > 10 || code[0] != '0' || (code[1] != 'x' && code[1] != 'X') ||
            std::from_chars(code.data() + 2, end, value, 16).ptr != end)
            Fail("the failure code is 0x and up to 8 hexadecimal digits, not '" + code + "'");
        step.code = static_cast<HRESULT>(value);
        if (SUCCEEDED(step.code)) Fail(code + " is a success code; a failure has the top bit set");
        if (words.size() == 5) step.texts.push_back(Text(words[4]));
    } else {
        static constexpr std::string_view kChartSteps[] = {"grid", "bytes", "selection", "matrix", "strategy", "fail"};
        Fail("chart " + what.text + " is unknown" + Suggestion(what.text, kChartSteps, "chart steps"));
    }
    return step;
}

const AdapterMember& SessionParser::Member(const Word& word) const {
    if (const AdapterMember* member = FindAdapterMember(word.text)) return *member;
    std::vector<std::string_view> names;
    for (const AdapterMember& member : AdapterMembers()) names.push_back(member.name);
    Fail("no member '" + word.text + "'" + DidYouMean(Nearest(word.text, names)));
}

Argument SessionParser::ArgumentFor(VARTYPE type, const Word& word) const {
    Argument argument = NumberArgument(type, 0);
    switch (type) {
        case VT_I4: argument.number = Number<LONG>(word, TypeWord(type)); break;
        case VT_I2: argument.number = Number<SHORT>(word, TypeWord(type)); break;
        case VT_BOOL:
            if (!word.Is("on") && !word.Is("off")) Fail("'" + word.text + "' is not " + TypeWord(type));
            argument.number = word.Is("on") ? 1 : 0;
            break;
        case VT_DISPATCH:
            if (!word.Is("chart") && !word.Is("null")) Fail("'" + word.text + "' is not " + TypeWord(type));
            argument.chart = word.Is("chart");
            break;
        default: argument.text = Text(word); break;
    }
    return argument;
}

const std::string& SessionParser::FileName(const Word& word) const {
    // The file system would read the name only up to its first NUL.
    if (word.text.find('\0') != std::string::npos) Fail("a file name cannot hold a NUL character");
    return word.text;
}

OleString SessionParser::Text(const Word& word) const {
    OleString text;
    if (!standins::DecodeUtf8(word.text, text)) Fail("text is not UTF-8");
    return text;
}

template <class Int>
Int SessionParser::Number(const Word& word, const char* what) const {
    Int value = 0;
    const char* end = word.text.data() + word.text.size();
    const auto [stop, error] = std::from_chars(word.text.data(), end, value);
    if (word.quoted || word.text.empty() || error != std::errc() || stop != end)
        Fail("'" + word.text + "' is not " + what);
    return value;
}

void SessionParser::Expect(const std::vector<Word>& words, std::size_t least, std::size_t most,
                           const char* usage) const {
    if (words.size() < least || words.size() > most) Fail(std::string("expected: ") + usage);
}

void SessionParser::Fail(const std::string& message) const { throw SessionError(line_, message); }

}  // namespace tessel
