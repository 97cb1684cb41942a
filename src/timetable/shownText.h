#ifndef HORATAB_TIMETABLE_SHOWNTEXT_H
#define HORATAB_TIMETABLE_SHOWNTEXT_H

// Names from a timetable as messages and terminals show them.

#include <cstddef>
#include <string>

// `text` safe to print on a terminal: tab, line feed and carriage return
// become spaces, every other control character (C0, DEL, C1) and every
// byte that is not UTF-8 becomes U+FFFD, so no name from a file can drive
// the terminal. With `maxCharacters` the text is cut on a character
// boundary to that many characters, "..." marking the cut.
std::string terminalText(const std::string& text, size_t maxCharacters = std::string::npos);

// A name echoed in a message: terminalText cut to 60 characters.
std::string echoedName(const std::string& name);

#endif  // HORATAB_TIMETABLE_SHOWNTEXT_H
