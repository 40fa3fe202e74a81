#pragma once

#include "UrlOpener.h"

#include <QList>

class FakeUrlOpener : public UrlOpener
{
public:
    void open(const QUrl& url) override { opened.append(url); }
    QList<QUrl> opened;
};
