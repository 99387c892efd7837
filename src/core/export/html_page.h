#pragma once

// The fixed parts of the HTML archive: its style sheet and its search script, both written
// inline so the page needs nothing but itself.

#include <string_view>

namespace orrelin {

extern const std::string_view kHtmlStyle;
extern const std::string_view kHtmlScript;
// The script's SHA-256 as the page's content security policy names it ("sha256-" and base64):
// the browser runs that script and no other. It changes with every change of the script.
extern const std::string_view kHtmlScriptHash;

}  // namespace orrelin
