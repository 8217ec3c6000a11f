#pragma once

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

// A case file's escapes: \n a line end, \t a tab, \\ a backslash; any other
// backslash stands for itself.
inline std::string unescape(const std::string& text)
{
    std::string plain;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char next = at + 1 < text.size() ? text[at + 1] : '\0';
        const bool escape = text[at] == '\\' && (next == 'n' || next == 't' || next == '\\');
        plain += !escape ? text[at] : next == 'n' ? '\n' : next == 't' ? '\t' : '\\';
        at += escape;
    }
    return plain;
}

// The dialogue cases of tests/cases, by name: the input on the first line,
// escaped, then the transcript in UTF-8 up to the last line end.
struct Case {
    std::string name, input, transcript;
};

inline std::vector<Case> allCases()
{
    std::vector<Case> cases;
    for (const auto& entry : std::filesystem::directory_iterator(TEST_DATA "/cases")) {
        std::ifstream file(entry.path(), std::ios::binary);
        Case& c = cases.emplace_back(Case{entry.path().stem(), "", ""});
        std::getline(std::getline(file, c.input), c.transcript, '\0');
        c.input = unescape(c.input);
        c.transcript = c.transcript.substr(0, c.transcript.size() - 1);
    }
    std::sort(cases.begin(), cases.end(), [](const Case& a, const Case& b) { return a.name < b.name; });
    return cases;
}
