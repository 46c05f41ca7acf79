#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Command lines as one text, the form in which the programs hand them on.
// An argument that is empty or holds a blank, a tab or a double quote is put
// in double quotes; inside them a literal double quote is written \" and the
// backslashes just before a double quote are doubled. Other backslashes stand
// for themselves, so ordinary paths never change.

// The program name first, then each argument, separated by single blanks.
std::string join_command_line(const std::vector<std::string>& arguments);

// The reverse of join_command_line. Blanks and tabs separate arguments; an
// unterminated double quote runs to the end of the text.
std::vector<std::string> split_command_line(std::string_view text);

}  // namespace platform
