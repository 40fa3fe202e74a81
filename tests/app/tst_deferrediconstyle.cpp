#include "DeferredIconStyle.h"

#include <QApplication>
#include <QFile>
#include <QMainWindow>
#include <QMenuBar>
#include <QTest>
#include <QToolButton>

class TestDeferredIconStyle : public QObject
{
    Q_OBJECT

    static bool imagePluginsLoaded()
    {
        QFile maps(QStringLiteral("/proc/self/maps"));
        return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("/imageformats/");
    }

private Q_SLOTS:
    // A menu bar is built without reading an image (which loads every image-format plugin),
    // and its overflow button, once drawn, shows the desktop style's own icon.
    void menuBarReadsNoImageUntilItsButtonIsDrawn()
    {
        QApplication::setStyle(new DeferredIconStyle);
        QMainWindow window;
        window.menuBar()->addMenu(QStringLiteral("&File"));
        QVERIFY(!imagePluginsLoaded());

        const auto* overflow =
            window.menuBar()->findChild<QToolButton*>(QStringLiteral("qt_menubar_ext_button"));
        QVERIFY(overflow);
        QVERIFY(!overflow->icon().isNull());
        const QStyle* desktop = qobject_cast<QProxyStyle*>(QApplication::style())->baseStyle();
        const QSize size(16, 16);
        QCOMPARE(overflow->icon().pixmap(size).toImage(),
                 desktop->standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton)
                     .pixmap(size)
                     .toImage());
        QVERIFY(!overflow->icon().pixmap(size).isNull());
    }
};

QTEST_MAIN(TestDeferredIconStyle)
#include "tst_deferrediconstyle.moc"
