#pragma once

// An HTML body as plain text, for showing a message: tags dropped (with what script and style
// elements hold), line breaks where <br>, <p>, <div>, <li>, <tr> and headings stand, runs of
// blanks and line breaks in the source folded to one blank, the common character references
// (&amp; &lt; &gt; &quot; &#39; &nbsp; and numeric ones) replaced. Nothing is loaded or run.

#include <string>
#include <string_view>

namespace orrelin {

// `html` is UTF-8; so is the result. With `singleByte`, `html` is single-byte text and the
// characters references stand for are reduced to code page 1256 like 16-bit text.
std::string HtmlAsText(std::string_view html, bool singleByte = false);

}  // namespace orrelin
