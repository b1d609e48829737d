// Small string routines of the file reader, the writer and the text editor.
#pragma once

#include <string>

// s up to, not including, the first c; s whole when c does not occur.
std::string CutAt(const std::string& s, char c);
std::string StripBlanks(const std::string& s);
void TrimLeading(std::string& s);
// Every run of c becomes one c, and c is removed from the end of s.
void CollapseChar(char c, std::string& s);
// head = s up to the first c; s loses that part, the c and then its leading blanks.
// When c does not occur, head = s and s is unchanged.
void SplitAt(char c, std::string& s, std::string& head);
