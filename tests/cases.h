#pragma once

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

// Turns \n and \t into a line end and a tab.
inline std::string unescape(std::string text)
{
    for (std::size_t at = 0; (at = text.find('\\', at)) != std::string::npos; ++at)
        text.replace(at, 2, text[at + 1] == 'n' ? "\n" : "\t");
    return text;
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
