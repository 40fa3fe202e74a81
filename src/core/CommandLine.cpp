#include "CommandLine.h"

#include "Translations.h"

#include <QCoreApplication>
#include <QTranslator>

#include <cstdio>

namespace {
// The number of arguments one of Qt's own options (which every Qt program takes) takes up from
// index on: itself, and its value where it has one; 0 where the argument is none of them.
qsizetype qtOptionLength(const QStringList& arguments, qsizetype index)
{
    static const QStringList valued =
        QStringLiteral("platform platformpluginpath platformtheme plugin qwindowgeometry "
                       "qwindowicon qwindowtitle geometry title display name session style "
                       "stylesheet visual")
            .split(u' ');
    static const QStringList flags =
        QStringLiteral("reverse widgetcount nograb dograb sync").split(u' ');
    QString name = arguments[index];
    name.remove(0, name.startsWith(QLatin1String("--")) ? 2 : 1);
    const qsizetype equals = name.indexOf(QLatin1Char('='));
    if (valued.contains(name.left(equals)))
        return equals >= 0 ? 1 : (index + 1 < arguments.size() ? 2 : 0);
    return equals < 0 && flags.contains(name) ? 1 : 0;
}

} // namespace

int CommandLine::print(const Answer& answer)
{
    std::fputs(answer.text.toLocal8Bit().constData(), answer.status == 0 ? stdout : stderr);
    return answer.status;
}

std::variant<CommandLine::Run, CommandLine::Answer>
CommandLine::read(const QStringList& arguments) const
{
    const auto tr = [this](const char* text) {
        return translator ? Translations::translate(*translator, "CommandLine", text)
                          : QCoreApplication::translate("CommandLine", text);
    };
    QString rest;
    if (option)
        rest += QStringLiteral(" [%1 %2]").arg(option->name, option->valueName);
    if (!operand.isEmpty())
        rest += u' ' + operand;
    const QString usage = tr("Usage: %1 [--help] [--version]%2\n").arg(program, rest);
    Run run;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        const bool isOption = !optionsEnded && argument.startsWith(QLatin1Char('-')) &&
                              argument != QLatin1String("-");
        if (!isOption) {
            run.positional.append(argument);
        } else if (argument == QLatin1String("--")) {
            optionsEnded = true;
        } else if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            return Answer{0, usage + description + u'\n' +
                                 tr("\n  -h, --help     show this help and exit\n"
                                    "  -v, --version  show the version and exit\n") +
                                 (option ? QStringLiteral("  %1 %2\n      %3\n")
                                               .arg(option->name, option->valueName, option->help)
                                         : QString())};
        } else if (argument == QLatin1String("--version") || argument == QLatin1String("-v")) {
            return Answer{0, program + u' ' + version + u'\n'};
        } else if (option && (argument == option->name ||
                              argument.startsWith(option->name + QLatin1Char('=')))) {
            if (argument != option->name) {
                run.optionValue = argument.mid(option->name.size() + 1);
            } else if (i + 1 < arguments.size()) {
                run.optionValue = arguments[++i];
            } else {
                return Answer{2,
                              tr("%1: option '%2' needs a value\n").arg(program, argument) + usage};
            }
        } else if (const qsizetype length = qtOptionLength(arguments, i)) {
            i += length - 1;
        } else {
            return Answer{2, tr("%1: unknown option '%2'\n").arg(program, argument) + usage};
        }
    }
    if (run.positional.size() > (operand.isEmpty() ? 0 : 1)) {
        return Answer{2, tr("%1: unexpected argument '%2'\n").arg(program, run.positional.last()) +
                             usage};
    }
    return run;
}
