#include "app/weblinks.h"

#include <QDesktopServices>

using namespace Qt::StringLiterals;

namespace WebLinks {

QUrl address(Page page)
{
    QStringView path;
    switch (page) {
    case Page::Home: break;
    case Page::SupportForum: path = u"/forums/"; break;
    case Page::ColourTester: path = u"/ncs/"; break;
    }
    // The desktop needs a scheme to know that a bare host name is a web address.
    return QUrl(u"http://"_s.append(makerSite).append(path));
}

void open(Page page)
{
    QDesktopServices::openUrl(address(page));
}

} // namespace WebLinks
