#pragma once

#include <string>

namespace palvina {

// Asks a web page with a plain HTTP GET and throws the body away. The address is passed
// through EncodeAbsoluteUrl first (an identifier with blanks or Chinese text would otherwise
// make an invalid address). Time-outs are those of the downloads. True when the server
// answered with a success status; nothing is thrown.
bool RequestPage(const std::string& url);

// RequestPage on a short-lived detached thread; the result is not examined.
void RequestPageInBackground(const std::string& url);

} // namespace palvina
