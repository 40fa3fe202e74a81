#include "TextColours.h"

#include <QTest>

using TextColours::Tone;
Q_DECLARE_METATYPE(TextColours::Tone)

// Every tone reads well (4.5:1) on light and dark palettes, and keeps its meaning: failure is
// red, success black on a light background.
class TestTextColours : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void readableOnEveryBackground_data()
    {
        QTest::addColumn<QColor>("background");
        for (const char* name :
             {"#ffffff", "#efefef", "#d4d0c8", "#3c3f41", "#353535", "#2a2a2a", "#000000"})
            QTest::newRow(name) << QColor(QString::fromLatin1(name));
        // And every grey between, where reading well is hardest, for the contrast alone: on a
        // mid grey no red reads well, and the failure's colour pales as far as it must, to
        // white on the hardest.
        for (int grey = 1; grey < 255; ++grey)
            QTest::addRow("grey %d", grey) << QColor(grey, grey, grey);
    }

    void readableOnEveryBackground()
    {
        QFETCH(QColor, background);
        for (Tone tone : {Tone::success, Tone::failure, Tone::idle})
            QVERIFY2(TextColours::contrast(TextColours::shade(tone, background), background) >= 4.5,
                     qPrintable(QString::number(int(tone))));
        if (QByteArray(QTest::currentDataTag()).startsWith("grey"))
            return;
        const QColor red = TextColours::shade(Tone::failure, background);
        QVERIFY(red.red() > red.green() + 60 && red.red() > red.blue() + 60);
        if (background.lightness() > 200)
            QCOMPARE(TextColours::shade(Tone::success, background), QColor(Qt::black));
        QPalette palette;
        palette.setColor(QPalette::Window, background);
        QCOMPARE(TextColours::of(TextColours::withText(palette, Tone::failure)), Tone::failure);
    }
};

QTEST_APPLESS_MAIN(TestTextColours)
#include "tst_textcolours.moc"
