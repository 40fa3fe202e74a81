#include "CommandLine.h"

#include <QCoreApplication>

#include <cstdio>

namespace {
QString tr(const char* text)
{
    return QCoreApplication::translate("CommandLine", text);
}

// Qt's own options, which every Qt program takes, and whether each is followed by a value.
constexpr std::pair<const char*, bool> qtOptions[] = {{"platform", true},
                                                      {"platformpluginpath", true},
                                                      {"platformtheme", true},
                                                      {"plugin", true},
                                                      {"qwindowgeometry", true},
                                                      {"qwindowicon", true},
                                                      {"qwindowtitle", true},
                                                      {"geometry", true},
                                                      {"title", true},
                                                      {"display", true},
                                                      {"name", true},
                                                      {"session", true},
                                                      {"style", true},
                                                      {"stylesheet", true},
                                                      {"reverse", false},
                                                      {"widgetcount", false},
                                                      {"nograb", false},
                                                      {"dograb", false},
                                                      {"sync", false},
                                                      {"visual", true}};

// The number of arguments a Qt option takes up from index on (itself, and its value where it
// has one), or 0 where the argument is none of them.
qsizetype qtOptionLength(const QStringList& arguments, qsizetype index)
{
    QString name = arguments[index];
    name.remove(0, name.startsWith(QLatin1String("--")) ? 2 : 1);
    const qsizetype equals = name.indexOf(QLatin1Char('='));
    for (const auto& [option, takesValue] : qtOptions) {
        if (name.left(equals) != QLatin1String(option))
            continue;
        if (equals >= 0)
            return takesValue ? 1 : 0;
        return takesValue ? (index + 1 < arguments.size() ? 2 : 0) : 1;
    }
    return 0;
}

void print(std::FILE* stream, const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
}
} // namespace

std::variant<QStringList, int> CommandLine::read(const QStringList& arguments) const
{
    const QString usage = tr("Usage: %1 [--help] [--version]%2\n")
                              .arg(program, operand.isEmpty() ? QString() : u' ' + operand);
    QStringList positional;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        const bool option = !optionsEnded && argument.startsWith(QLatin1Char('-')) &&
                            argument != QLatin1String("-");
        if (!option) {
            positional.append(argument);
        } else if (argument == QLatin1String("--")) {
            optionsEnded = true;
        } else if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            print(stdout, usage + description + u'\n' +
                              tr("\n  -h, --help     show this help and exit\n"
                                 "  -v, --version  show the version and exit\n"));
            return 0;
        } else if (argument == QLatin1String("--version") || argument == QLatin1String("-v")) {
            print(stdout, program + u' ' + version + u'\n');
            return 0;
        } else if (const qsizetype length = qtOptionLength(arguments, i)) {
            i += length - 1;
        } else {
            print(stderr, tr("%1: unknown option '%2'\n").arg(program, argument) + usage);
            return 2;
        }
    }
    if (positional.size() > (operand.isEmpty() ? 0 : 1)) {
        print(stderr, tr("%1: unexpected argument '%2'\n").arg(program, positional.last()) + usage);
        return 2;
    }
    return positional;
}
