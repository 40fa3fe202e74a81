// quibbo-send-selection: sends text to the Quibbo client as an SMS to be addressed: standard
// input when it is not a terminal, otherwise the primary selection, otherwise the clipboard.
// The client is started through D-Bus activation when it is not running. Bind it to a key.

#include "ClientAddress.h"
#include "CommandLine.h"
#include "Translations.h"

#include <QClipboard>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QFile>
#include <QGuiApplication>
#include <QTranslator>

#include <cstdio>
#include <memory>
#include <unistd.h>

int main(int argc, char* argv[])
{
    QTranslator translator;
    Translations::load(translator);
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const CommandLine commandLine{
        QStringLiteral("quibbo-send-selection"),
        {},
        Translations::translate(translator, "main",
                                QT_TRANSLATE_NOOP("main", "Hand the text on standard input, else "
                                                          "the selected text, else the clipboard,"
                                                          "\nto the Quibbo client as a message to "
                                                          "address.")),
        QStringLiteral(QUIBBO_VERSION),
        &translator};
    const std::variant<CommandLine::Run, CommandLine::Answer> read = commandLine.read(arguments);
    if (const auto* answer = std::get_if<CommandLine::Answer>(&read))
        return CommandLine::print(*answer);

    QByteArray text;
    std::unique_ptr<QCoreApplication> app;
    if (!isatty(STDIN_FILENO)) {
        app = std::make_unique<QCoreApplication>(argc, argv);
        QFile in;
        if (in.open(stdin, QIODevice::ReadOnly))
            text = in.read(4 * 1024 * 1024);
        // Command output ends with a line break that is not part of the text, as shells know.
        if (text.endsWith('\n'))
            text.chop(text.endsWith("\r\n") ? 2 : 1);
    } else {
        auto gui = std::make_unique<QGuiApplication>(argc, argv);
        QClipboard* clipboard = QGuiApplication::clipboard();
        QString chosen =
            clipboard->supportsSelection() ? clipboard->text(QClipboard::Selection) : QString();
        if (chosen.isEmpty())
            chosen = clipboard->text(QClipboard::Clipboard);
        text = chosen.toUtf8();
        app = std::move(gui);
    }

    // Through the desktop's interface, so that the token this program was started with (by a
    // key binding, say) lets the chooser or the window come forward under Wayland.
    qDBusRegisterMetaType<Pasteboard>();
    const Pasteboard selection{{QStringLiteral("text/plain;charset=utf-8"), text}};
    QDBusMessage call = QDBusMessage::createMethodCall(
        ClientAddress::busName, ClientAddress::applicationPath(),
        QStringLiteral("org.freedesktop.Application"), QStringLiteral("ActivateAction"));
    call << QStringLiteral("send-selection") << QVariantList{QVariant::fromValue(selection)}
         << ClientAddress::platformData(ClientAddress::startupToken());
    const QDBusMessage reply = QDBusConnection::sessionBus().call(call, QDBus::Block, 60'000);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        std::fprintf(stderr, "quibbo-send-selection: %s\n", qPrintable(reply.errorMessage()));
        return 1;
    }
    return 0;
}
