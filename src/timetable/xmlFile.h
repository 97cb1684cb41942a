#ifndef HORATAB_TIMETABLE_XMLFILE_H
#define HORATAB_TIMETABLE_XMLFILE_H

#include <string>

#include <pugixml.hpp>

#include "xlsx/Status.h"

// Loads an XML file into `document` with pugixml's default parse options.
// The encoding is detected from a byte-order mark, from the byte pattern of
// a leading '<', or from the XML declaration, and any encoding the C
// library's iconv knows (windows-1250, ISO-8859-2, UTF-16, ...) is converted
// to UTF-8 first, so every name in the document is UTF-8.
//
// On failure returns false and, when `failure` is given, stores why: the
// file cannot be opened or read (STATUS_SYSTEM with errno), is not a regular
// file, is empty, declares an unknown encoding or holds bytes invalid in it
// (STATUS_UNREADABLE_INPUT), or is not well-formed XML (STATUS_MALFORMED_XML,
// with pugixml's description, line and column).
// The document's names and values point into `text`, which holds the
// file's text and must outlive the document.
bool loadXmlFile(const std::string& path, pugi::xml_document& document, std::string& text,
                 SimpleXlsx::Status* failure);

// Line and column (both from 1, the column counted in UTF-8 characters) of
// byte `offset` in `text`.
void lineAndColumn(const std::string& text, size_t offset, size_t& line, size_t& column);

// Whether `size` bytes at `text` hold "&#" or "&#x", zeros and ';': a
// quick scan for what may be a reference to the character U+0000, wherever
// it stands (comments and CDATA sections included).
bool mayReferToNull(const char* text, size_t size);

// Whether a file whose first bytes are `head` is read as UTF-8 as it is,
// without conversion; `bomLength` is then the length of its byte-order mark.
// False when `head` is too short to tell.
bool readsAsUtf8(const std::string& head, size_t& bomLength);

#endif  // HORATAB_TIMETABLE_XMLFILE_H
