#ifndef VELPAD_ENGINE_REQUESTFIELDS_H
#define VELPAD_ENGINE_REQUESTFIELDS_H

#include <string>
#include <vector>

// The fields of a pinpad request's argument ("2:host:port", ESC-separated
// operation details), read through ri::ByteReader.

// The fields between separators as the pinpad sends them: an empty text has
// none, and a separator at the end opens no empty field after it.
std::vector<std::string> SplitFields(const std::string& text, char separator);

// The text before the first separator and the text after it; false, with
// both left as they were, when the text holds no separator.
bool SplitFirst(const std::string& text, char separator, std::string* head, std::string* rest);

#endif
