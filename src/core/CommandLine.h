#pragma once

#include <QStringList>

#include <variant>

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

    // The positional arguments to run with, or the exit status once the program has answered
    // (its text printed to standard output or standard error).
    std::variant<QStringList, int> read(const QStringList& arguments) const;
};
