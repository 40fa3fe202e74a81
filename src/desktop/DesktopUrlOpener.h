#pragma once

#include "UrlOpener.h"

class DesktopUrlOpener : public UrlOpener
{
public:
    void open(const QUrl& url) override;
};
