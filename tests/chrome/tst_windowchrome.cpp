#include "RoundedView.h"

#include <QImage>
#include <QPainter>
#include <QTest>

class TestWindowChrome : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void roundedPanelIsPainted_data()
    {
        QTest::addColumn<QPoint>("pixel");
        QTest::addColumn<int>("alpha");
        QTest::newRow("middle") << QPoint(100, 50) << 191;
        QTest::newRow("corner") << QPoint(0, 0) << 0;
        QTest::newRow("outside the top-right arc") << QPoint(196, 3) << 0;
        QTest::newRow("inside the arc") << QPoint(10, 10) << 191;
    }

    void roundedPanelIsPainted()
    {
        QFETCH(QPoint, pixel);
        QFETCH(int, alpha);
        QImage image(200, 100, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        {
            QPainter painter(&image);
            RoundedView view;
            view.drawRect(painter, QRectF(0, 0, 200, 100));
        }
        const QColor colour = image.pixelColor(pixel);
        QVERIFY2(std::abs(colour.alpha() - alpha) <= 2,
                 qPrintable(QString::number(colour.alpha())));
        if (alpha)
            QCOMPARE(colour.rgb() & 0xffffff, 0u); // black
    }
};

QTEST_MAIN(TestWindowChrome)
#include "tst_windowchrome.moc"
