// Format signatures: the arguments each format text's call site passes.
//
// signatures.txt lists one format text a line, `NNN<TAB>KINDS`: `s` a wide
// text pointer, `u` a 32-bit integer (also a `*` width or precision), or `-`
// for a format that takes no argument but is expanded (so `%` is `%%`).
#pragma once

#include <stdint.h>

#include <map>
#include <string>
#include <vector>

typedef std::map<uint32_t, std::string> SignatureMap;  // TextId -> kinds ("" for "-")

bool ParseSignatures(const std::string& contents, const std::string& origin,
                     SignatureMap& signatures, std::vector<std::string>& errors);

// The argument kinds a format text consumes, in order, by the directive
// grammar of the format engine; false with `problem` set for a directive no
// call site can satisfy.
bool DirectiveKinds(const std::u16string& text, std::string& kinds, std::string& problem);
