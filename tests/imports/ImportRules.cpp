#include "tests/imports/ImportRules.h"

#include <algorithm>
#include <set>

namespace lapforge::imports {

namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string_view Trim(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        lines.push_back(text.substr(0, end));
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    return lines;
}

bool IsHex(std::string_view word) {
    return !word.empty() && std::all_of(word.begin(), word.end(), [](char c) {
        return (c >= '0' && c <= '9') || (Lower(c) >= 'a' && Lower(c) <= 'f');
    });
}

std::vector<std::string_view> Words(std::string_view line) {
    std::vector<std::string_view> words;
    for (line = Trim(line); !line.empty(); line = Trim(line)) {
        const std::size_t end = std::min(line.find_first_of(" \t"), line.size());
        words.push_back(line.substr(0, end));
        line.remove_prefix(end);
    }
    return words;
}

bool IsDllPattern(std::string_view pattern) { return pattern.size() >= 4 && MatchesPattern("*.dll", pattern); }

}  // namespace

std::vector<Import> ParseObjdumpImports(std::string_view text) {
    std::vector<Import> imports;
    bool inTables = false;
    std::string dll;
    for (const std::string_view line : Lines(text)) {
        // Section headings start in the first column; the tables' own lines are indented.
        if (!line.empty() && line[0] != ' ' && line[0] != '\t') {
            inTables = line.find("Import Tables") != std::string_view::npos;
            dll.clear();
            continue;
        }
        if (!inTables) continue;
        const std::string_view content = Trim(line);
        constexpr std::string_view DllName = "DLL Name:";
        if (content.substr(0, DllName.size()) == DllName) {
            dll = std::string(Trim(content.substr(DllName.size())));
            continue;
        }
        // A function's line: its thunk's address (tab-indented), its hint or ordinal, its name.
        if (dll.empty() || line[0] != '\t') continue;
        const std::vector<std::string_view> words = Words(line);
        if (words.size() < 2 || !IsHex(words[0]) ||
            !std::all_of(words[1].begin(), words[1].end(), [](char c) { return c >= '0' && c <= '9'; }))
            continue;
        const bool byOrdinal = words.size() < 3 || words[2] == "<none>";
        Import import{dll, byOrdinal ? "#" : ""};
        import.function += byOrdinal ? words[1] : words[2];
        imports.push_back(std::move(import));
    }
    return imports;
}

std::vector<std::string> ParseList(std::string_view text) {
    std::vector<std::string> entries;
    for (std::string_view line : Lines(text)) {
        line = Trim(line.substr(0, line.find('#')));
        if (!line.empty()) entries.emplace_back(line);
    }
    return entries;
}

bool MatchesPattern(std::string_view pattern, std::string_view name) {
    // Backtracks to the last '*' only, which is enough for patterns without nested choices.
    std::size_t p = 0, n = 0, star = std::string_view::npos, resume = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || Lower(pattern[p]) == Lower(name[n]))) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = n;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

std::vector<std::string> ForbiddenImports(const std::vector<Import>& imports, const std::vector<std::string>& tooNew,
                                          const std::vector<std::string>& allowedDlls) {
    std::vector<std::string> findings;
    std::set<std::string> reportedDlls;
    const auto matchesAny = [](const std::vector<std::string>& patterns, std::string_view name, bool dllPatterns) {
        return std::any_of(patterns.begin(), patterns.end(), [&](const std::string& pattern) {
            return IsDllPattern(pattern) == dllPatterns && MatchesPattern(pattern, name);
        });
    };
    for (const Import& import : imports) {
        std::string dll = import.dll;
        std::transform(dll.begin(), dll.end(), dll.begin(), Lower);
        if (reportedDlls.insert(dll).second) {
            if (matchesAny(tooNew, dll, true))
                findings.push_back(import.dll + ": newer than Windows 7");
            else if (!matchesAny(allowedDlls, dll, true))
                findings.push_back(import.dll + ": not loaded from Windows' own folders whatever lies beside the exe");
        }
        if (matchesAny(tooNew, import.function, false))
            findings.push_back(import.dll + "!" + import.function + ": newer than Windows 7");
    }
    return findings;
}

}  // namespace lapforge::imports
