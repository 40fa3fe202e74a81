#pragma once

#include "ApplicationLauncher.h"

#include <QStringList>

class FakeApplicationLauncher : public ApplicationLauncher
{
public:
    bool launchPreferredFor(const QString& mimeType) override
    {
        asked.append(mimeType);
        return hasApplication;
    }
    bool hasApplication = false;
    QStringList asked;
};
