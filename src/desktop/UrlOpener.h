#pragma once

#include <QUrl>

// Opens a page in the user's default web browser.
class UrlOpener
{
public:
    virtual ~UrlOpener() = default;
    virtual void open(const QUrl& url) = 0;
};
