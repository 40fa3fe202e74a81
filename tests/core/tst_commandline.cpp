#include "CommandLine.h"

#include <QTest>
#include <QTranslator>

// What the programs answer to their options: both take --help and --version, the client one
// sms: link, and Qt's own options (and their values) pass through to Qt.
class TestCommandLine : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void answers_data()
    {
        QTest::addColumn<QString>("operand");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status"); // -1: runs with the positional arguments in "text"
        QTest::addColumn<QString>("text");

        const QString link = QStringLiteral("[sms:LINK]");
        QTest::newRow("--version") << link << QStringList{"--version"} << 0 << "quibbo 1.2.3\n";
        QTest::newRow("-v") << QString() << QStringList{"-v"} << 0 << "quibbo 1.2.3\n";
        QTest::newRow("-h") << link << QStringList{"-h"} << 0
                            << "Usage: quibbo [--help] [--version] [sms:LINK]\nSends.\n\n"
                               "  -h, --help     show this help and exit\n"
                               "  -v, --version  show the version and exit\n";
        QTest::newRow("--help after a Qt option and its value")
            << link << QStringList{"-session", "s1", "--help"} << 0
            << "Usage: quibbo [--help] [--version] [sms:LINK]\nSends.\n\n"
               "  -h, --help     show this help and exit\n"
               "  -v, --version  show the version and exit\n";
        QTest::newRow("an unknown option")
            << QString() << QStringList{"--bogus"} << 2
            << "quibbo: unknown option '--bogus'\nUsage: quibbo [--help] [--version]\n";
        QTest::newRow("two links") << link << QStringList{"sms:1", "sms:2"} << 2
                                   << "quibbo: unexpected argument 'sms:2'\n"
                                      "Usage: quibbo [--help] [--version] [sms:LINK]\n";
        QTest::newRow("a link where none is taken")
            << QString() << QStringList{"sms:1"} << 2
            << "quibbo: unexpected argument 'sms:1'\nUsage: quibbo [--help] [--version]\n";
        QTest::newRow("Qt's options pass, with or without =")
            << link << QStringList{"-platform", "offscreen", "--style=fusion", "-reverse", "sms:1"}
            << -1 << "sms:1";
        QTest::newRow("a Qt option's value is not the link")
            << link << QStringList{"-display", ":1"} << -1 << "";
        // Qt would take the link as the value; with nothing after it, the option is no Qt's.
        QTest::newRow("a Qt option without its value, last")
            << link << QStringList{"sms:1", "-display"} << 2
            << "quibbo: unknown option '-display'\nUsage: quibbo [--help] [--version] [sms:LINK]\n";
        QTest::newRow("after --, an option is an argument")
            << link << QStringList{"--", "-h"} << -1 << "-h";
        QTest::newRow("- alone is an argument") << link << QStringList{"-"} << -1 << "-";
    }

    void answers()
    {
        QFETCH(QString, operand);
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, text);
        const CommandLine commandLine{QStringLiteral("quibbo"), operand, QStringLiteral("Sends."),
                                      QStringLiteral("1.2.3")};
        const auto read = commandLine.read(arguments);
        if (status < 0)
            QCOMPARE(std::get<CommandLine::Run>(read).positional,
                     text.isEmpty() ? QStringList() : QStringList{text});
        else
            QCOMPARE(std::get<CommandLine::Answer>(read), (CommandLine::Answer{status, text}));
    }

    // A valued option of the program's own: its value in either form, its line in --help, and
    // a usage line when the value is missing.
    void anOptionOfTheProgramsOwn_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("value"); // empty: the program answers, with text
        QTest::addColumn<QString>("text");
        QTest::newRow("the value after") << QStringList{"--export-history", "out.csv"} << "out.csv"
                                         << "";
        QTest::newRow("the value with =") << QStringList{"--export-history=-"} << "-"
                                          << "";
        QTest::newRow("no value") << QStringList{"--export-history"} << ""
                                  << "quibbo: option '--export-history' needs a value\n"
                                     "Usage: quibbo [--help] [--version] [--export-history FILE] "
                                     "[sms:LINK]\n";
        QTest::newRow("--help") << QStringList{"--help"} << ""
                                << "Usage: quibbo [--help] [--version] [--export-history FILE] "
                                   "[sms:LINK]\nSends.\n\n"
                                   "  -h, --help     show this help and exit\n"
                                   "  -v, --version  show the version and exit\n"
                                   "  --export-history FILE\n      write it and exit\n";
    }
    void anOptionOfTheProgramsOwn()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, value);
        QFETCH(QString, text);
        const CommandLine commandLine{QStringLiteral("quibbo"),
                                      QStringLiteral("[sms:LINK]"),
                                      QStringLiteral("Sends."),
                                      QStringLiteral("1.2.3"),
                                      nullptr,
                                      CommandLine::Option{QStringLiteral("--export-history"),
                                                          QStringLiteral("FILE"),
                                                          QStringLiteral("write it and exit")}};
        const auto read = commandLine.read(arguments);
        if (value.isEmpty())
            QCOMPARE(std::get<CommandLine::Answer>(read).text, text);
        else
            QCOMPARE(std::get<CommandLine::Run>(read).optionValue, std::optional(value));
    }

    // The answer is in the user's language from the catalogue read before the application
    // exists.
    void answersInTheUsersLanguage()
    {
        QTranslator german;
        QVERIFY(german.load(
            QStringLiteral(QUIBBO_BIN_DIR "/../share/quibbo/translations/quibbo_de.qm")));
        const CommandLine commandLine{QStringLiteral("quibbo"),
                                      {},
                                      QStringLiteral("Sendet."),
                                      QStringLiteral("1.2.3"),
                                      &german};
        QCOMPARE(std::get<CommandLine::Answer>(commandLine.read({QStringLiteral("--bogus")})).text,
                 QStringLiteral("quibbo: unbekannte Option „--bogus“\n"
                                "Aufruf: quibbo [--help] [--version]\n"));
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
