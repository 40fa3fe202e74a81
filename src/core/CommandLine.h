#pragma once

#include <QStringList>

#include <optional>
#include <variant>

class QTranslator;

// What a Quibbo program answers to its options before it needs a display, as other commands
// do: --help and --version print and end it, an unknown option or one argument too many print
// a usage line and end it with 2. The options Qt itself reads (-session from the session
// manager, -platform, -style and the like) pass through to Qt.
struct CommandLine
{
    QString program;     // the command's name
    QString operand;     // the positional argument's name in the usage line, if it takes one
    QString description; // what the program does, in one sentence
    QString version;
    // The user's language, where its catalogue was found: read before the application exists,
    // which installs translators for everything after.
    const QTranslator* translator = nullptr;
    // An option of the program's own that takes a value ("--export-history FILE"), if any.
    struct Option
    {
        QString name;      // with its dashes
        QString valueName; // in the usage line
        QString help;      // one line, translated
    };
    std::optional<Option> option = std::nullopt;

    // What the program says instead of running: on standard output when it succeeded (status 0),
    // on standard error otherwise.
    struct Answer
    {
        int status = 0;
        QString text;
        friend bool operator==(const Answer&, const Answer&) = default;
    };

    struct Run
    {
        QStringList positional;
        std::optional<QString> optionValue; // the value given to the program's own option
    };
    // What to run with, or the program's answer.
    std::variant<Run, Answer> read(const QStringList& arguments) const;
    // Prints the answer where it belongs; its exit status.
    static int print(const Answer& answer);
};
