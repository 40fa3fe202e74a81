#include "SetupAssistantPanel.h"

#include <QCloseEvent>

void SetupAssistantPanel::closeEvent(QCloseEvent* event)
{
    event->ignore();
    emit closeRequested();
}
