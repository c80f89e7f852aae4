// The maker's web pages and the one way the program opens them.
#pragma once

#include "core/Platform.h"

namespace hexalune {

enum class WebPage { OnlineHelp, Home, Download, Donation, FullBranding, CoBranding };

// The page's address, fixed when the program is built.
const char* WebPageAddress(WebPage page);

// Hands the page's address to the shell once; whatever happens then is not our concern.
inline void OpenWebPage(IShell& shell, WebPage page) { shell.OpenAddress(WebPageAddress(page)); }

}  // namespace hexalune
