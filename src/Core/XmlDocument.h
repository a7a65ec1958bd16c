#pragma once

#include <tinyxml.h>

#include <string>

// Loads an XML document through CPFileReader (so it may come from a pack)
// and parses it with the given encoding. A file found nowhere sets the
// document's "Failed to open file" error; an empty file gives false with no
// error; otherwise true when the document parsed without error.
bool LoadXmlDocument(TiXmlDocument& document, const char* fileName, TiXmlEncoding encoding);

// Parses the text into the document, refusing (with a log line naming the
// document's value) text that nests elements too deep for the parser's
// recursion. True when the document parsed without error.
bool ParseXmlText(TiXmlDocument& document, const std::string& text, TiXmlEncoding encoding);
