#pragma once

#include <QUrl>

// The maker's pages, opened in the user's browser.
namespace WebLinks {

inline constexpr QStringView makerSite = u"hollowfen.example";

enum class Page { Home, SupportForum, ColourTester };

QUrl address(Page page);

// Hands the address to the desktop and does not wait; a failure is not reported.
void open(Page page);

} // namespace WebLinks
