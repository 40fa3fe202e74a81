// GIO's headers name a field "signals", which Qt's headers define as a word of their own.
#include <gio/gio.h>

#include "NetworkMonitor.h"

#include <QTest>

#include <new>

class TestNetworkMonitor : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // GLib calls the monitor from C: a slot's exception ends in the monitor, which goes on
    // passing on the desktop's word, once, and only the word that a network is up.
    void aSlotsExceptionNeverReachesGLib()
    {
        GioNetworkMonitor watcher;
        // The outbox asks again each time a message comes to wait: the word still comes once.
        watcher.watch();
        watcher.watch();
        int heard = 0;
        connect(&watcher, &NetworkMonitor::becameAvailable, this, [&heard] {
            ++heard;
            throw std::bad_alloc();
        });
        GNetworkMonitor* desktop = g_network_monitor_get_default();
        for (const gboolean available : {gboolean(TRUE), gboolean(FALSE), gboolean(TRUE)})
            g_signal_emit_by_name(desktop, "network-changed", available);
        QCOMPARE(heard, 2);
    }
};

QTEST_GUILESS_MAIN(TestNetworkMonitor)
#include "tst_networkmonitor.moc"
