#pragma once

#include <QProxyStyle>

// The desktop's own style, with its standard icons read when first drawn rather than when asked
// for. The menu bar asks for its overflow button's icon as it is built, and reading that image
// loads every image-format plugin (and their libraries) before the first frame, for a button
// that shows only when the window is too narrow for the menus.
class DeferredIconStyle : public QProxyStyle
{
    Q_OBJECT
public:
    QIcon standardIcon(StandardPixmap standardIcon, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;
};
