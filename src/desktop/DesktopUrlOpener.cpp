#include "DesktopUrlOpener.h"

#include <QDesktopServices>

void DesktopUrlOpener::open(const QUrl& url)
{
    if (url.isValid())
        QDesktopServices::openUrl(url);
}
