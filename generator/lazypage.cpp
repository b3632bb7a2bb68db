#include "generator/lazypage.h"

#include <utility>

void LazyPage::build()
{
    if (std::exchange(m_built, true))
        return;
    // A child made on a page already shown stays hidden until shown itself.
    // Showing the page again shows the children as if they had been there before.
    const bool shown = isVisible();
    if (shown)
        hide();
    buildControls();
    if (shown)
        show();
}
