#include "links/WebPages.h"

#include "web_addresses.h"  // generated from the build's HEXALUNE_*_URL settings

namespace hexalune {

const char* WebPageAddress(WebPage page) {
    switch (page) {
        case WebPage::OnlineHelp: return HEXALUNE_ONLINE_HELP_URL;
        case WebPage::Home: return HEXALUNE_HOME_URL;
        case WebPage::Download: return HEXALUNE_DOWNLOAD_URL;
        case WebPage::Donation: return HEXALUNE_DONATION_URL;
        case WebPage::FullBranding: return HEXALUNE_FULL_BRANDING_URL;
        case WebPage::CoBranding: return HEXALUNE_CO_BRANDING_URL;
    }
    return HEXALUNE_HOME_URL;
}

}  // namespace hexalune
