// Text source files: one per text table, `NNN<TAB>text` lines with escapes,
// and `NNN<TAB><<<` ... `>>>` blocks taken verbatim and joined with CR LF.
#pragma once

#include <stdint.h>

#include <map>
#include <string>
#include <vector>

typedef std::map<uint32_t, std::u16string> TextMap;

// Parses the UTF-8 contents of a text source into texts (added to `texts`;
// a TextId already there is an error). Errors name `origin` and the line.
bool ParseTextSource(const std::string& contents, const std::string& origin,
                     TextMap& texts, std::vector<std::string>& errors);

// Decodes UTF-8 into UTF-16 units; false on invalid input.
bool Utf8ToUtf16(const std::string& in, std::u16string& out);
// Encodes UTF-16 as UTF-8; false on an unpaired surrogate.
bool Utf16ToUtf8(const std::u16string& in, std::string& out);
