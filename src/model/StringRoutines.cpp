// Small string routines.
#include "model/StringRoutines.h"

std::string CutAt(const std::string& s, char c) {
    const auto p = s.find(c);
    return p == std::string::npos ? s : s.substr(0, p);
}

std::string StripBlanks(const std::string& s) {
    std::string r;
    r.reserve(s.size());
    for (char ch : s)
        if (ch != ' ')
            r += ch;
    return r;
}

void TrimLeading(std::string& s) {
    const auto p = s.find_first_not_of(' ');
    s.erase(0, p == std::string::npos ? s.size() : p);
}

void CollapseChar(char c, std::string& s) {
    std::string r;
    r.reserve(s.size());
    for (char ch : s)
        if (ch != c || r.empty() || r.back() != c)
            r += ch;
    while (!r.empty() && r.back() == c)
        r.pop_back();
    s = std::move(r);
}

void SplitAt(char c, std::string& s, std::string& head) {
    const auto p = s.find(c);
    if (p == std::string::npos) {
        head = s;
        return;
    }
    head = s.substr(0, p);
    s.erase(0, p + 1);
    TrimLeading(s);
}
