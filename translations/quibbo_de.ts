<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>AddressBookController</name>
    <message>
        <source>Group</source>
        <translation>Gruppe</translation>
    </message>
    <message>
        <source>All</source>
        <translation>Alle</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Label</source>
        <extracomment>The column of what kind a phone number is (work, home, mobile).</extracomment>
        <translation>Art</translation>
    </message>
    <message>
        <source>Number</source>
        <translation>Nummer</translation>
    </message>
    <message>
        <source>%1 (ext. %2):</source>
        <translation>%1 (Durchwahl %2):</translation>
    </message>
    <message>
        <source>%1:</source>
        <extracomment>A number&apos;s label in the list of a person&apos;s numbers, as &quot;Mobile:&quot;.</extracomment>
        <translation>%1:</translation>
    </message>
</context>
<context>
    <name>AddressBookPanel</name>
    <message>
        <source>Se&amp;arch:</source>
        <translation>S&amp;uchen:</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>Suchen</translation>
    </message>
    <message>
        <source>First or last name</source>
        <translation>Vor- oder Nachname</translation>
    </message>
    <message>
        <source>&amp;Groups:</source>
        <translation>&amp;Gruppen:</translation>
    </message>
    <message>
        <source>Groups</source>
        <translation>Gruppen</translation>
    </message>
    <message>
        <source>&amp;People:</source>
        <translation>&amp;Personen:</translation>
    </message>
    <message>
        <source>People</source>
        <translation>Personen</translation>
    </message>
    <message>
        <source>&amp;Name:</source>
        <translation>Na&amp;me:</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>N&amp;umbers:</source>
        <translation>Numme&amp;rn:</translation>
    </message>
    <message>
        <source>Numbers</source>
        <translation>Nummern</translation>
    </message>
    <message>
        <source>&amp;Open Contacts</source>
        <translation>Kon&amp;takte öffnen</translation>
    </message>
    <message>
        <source>Open Contacts</source>
        <translation>Kontakte öffnen</translation>
    </message>
    <message>
        <source>Address Book</source>
        <translation>Adressbuch</translation>
    </message>
    <message>
        <source>Add &amp;to Recipients</source>
        <translation>Zu Empfängern &amp;hinzufügen</translation>
    </message>
    <message>
        <source>Add the mobile number of each chosen person to the recipients</source>
        <translation>Die Mobilnummer jeder gewählten Person zu den Empfängern hinzufügen</translation>
    </message>
    <message>
        <source>Add Ever&amp;yone in Group</source>
        <translation>Alle der Gruppe hin&amp;zufügen</translation>
    </message>
    <message>
        <source>Add the mobile number of each member of the chosen group to the recipients</source>
        <translation>Die Mobilnummer jedes Mitglieds der gewählten Gruppe zu den Empfängern hinzufügen</translation>
    </message>
</context>
<context>
    <name>CharCounter</name>
    <message>
        <source>Too Long</source>
        <translation>Zu lang</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Usage: %1 [--help] [--version]%2
</source>
        <translation>Aufruf: %1 [--help] [--version]%2
</translation>
    </message>
    <message>
        <source>
  -h, --help     show this help and exit
  -v, --version  show the version and exit
</source>
        <translation>
  -h, --help     diese Hilfe zeigen und beenden
  -v, --version  die Version zeigen und beenden
</translation>
    </message>
    <message>
        <source>%1: unknown option &apos;%2&apos;
</source>
        <translation>%1: unbekannte Option „%2“
</translation>
    </message>
    <message>
        <source>%1: unexpected argument &apos;%2&apos;
</source>
        <translation>%1: unerwartetes Argument „%2“
</translation>
    </message>
    <message>
        <source>%1: option &apos;%2&apos; needs a value
</source>
        <translation>%1: Option „%2“ braucht einen Wert
</translation>
    </message>
</context>
<context>
    <name>DeliveryNotifications</name>
    <message>
        <source>Delivered to %1</source>
        <translation>Zugestellt an %1</translation>
    </message>
    <message>
        <source>Not delivered to %1</source>
        <translation>Nicht zugestellt an %1</translation>
    </message>
</context>
<context>
    <name>DesktopNotifications</name>
    <message>
        <source>Open Quibbo</source>
        <translation>Quibbo öffnen</translation>
    </message>
</context>
<context>
    <name>HistoryCommand</name>
    <message>
        <source>no account is set up: start Quibbo once to set one up</source>
        <translation>es ist kein Konto eingerichtet: Starten Sie Quibbo einmal, um eines einzurichten</translation>
    </message>
    <message>
        <source>the keyring does not hand out the account&apos;s password</source>
        <translation>der Schlüsselbund gibt das Passwort des Kontos nicht heraus</translation>
    </message>
    <message>
        <source>the history could not be fetched: the service did not answer</source>
        <translation>der Verlauf konnte nicht abgerufen werden: der Dienst hat nicht geantwortet</translation>
    </message>
    <message>
        <source>the history could not be fetched: the service&apos;s answer was not a whole listing</source>
        <translation>der Verlauf konnte nicht abgerufen werden: die Antwort des Dienstes war keine vollständige Liste</translation>
    </message>
    <message>
        <source>the history could not be written to standard output</source>
        <translation>der Verlauf konnte nicht auf die Standardausgabe geschrieben werden</translation>
    </message>
    <message>
        <source>%1 could not be written: %2</source>
        <translation>%1 konnte nicht geschrieben werden: %2</translation>
    </message>
</context>
<context>
    <name>HistoryExport</name>
    <message>
        <source>Export History</source>
        <translation>Verlauf exportieren</translation>
    </message>
    <message>
        <source>Sent messages.csv</source>
        <translation>Gesendete Nachrichten.csv</translation>
    </message>
    <message>
        <source>CSV files (*.csv)</source>
        <translation>CSV-Dateien (*.csv)</translation>
    </message>
    <message>
        <source>The history could not be exported: %1.</source>
        <translation>Der Verlauf konnte nicht exportiert werden: %1.</translation>
    </message>
</context>
<context>
    <name>HistoryRow</name>
    <message>
        <source>Queued</source>
        <translation>Wartend</translation>
    </message>
    <message>
        <source>Ongoing</source>
        <translation>In Zustellung</translation>
    </message>
    <message>
        <source>Successful</source>
        <translation>Zugestellt</translation>
    </message>
    <message>
        <source>Failed</source>
        <translation>Fehlgeschlagen</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>Unbekannt</translation>
    </message>
</context>
<context>
    <name>HistorySearch</name>
    <message numerus="yes">
        <source>Showing %1 of %n messages.</source>
        <translation>
            <numerusform>%1 von %n Nachricht angezeigt.</numerusform>
            <numerusform>%1 von %n Nachrichten angezeigt.</numerusform>
        </translation>
    </message>
    <message>
        <source>All</source>
        <translation>Alle</translation>
    </message>
</context>
<context>
    <name>HistoryTableModel</name>
    <message>
        <source>Time</source>
        <translation>Zeit</translation>
    </message>
    <message>
        <source>Number</source>
        <translation>Nummer</translation>
    </message>
    <message>
        <source>Message</source>
        <translation>Nachricht</translation>
    </message>
    <message>
        <source>State</source>
        <extracomment>The column of a sent message&apos;s delivery state (queued, delivered, failed).</extracomment>
        <translation>Zustand</translation>
    </message>
</context>
<context>
    <name>HistoryTimeWording</name>
    <message>
        <source>Not Available</source>
        <translation>Nicht verfügbar</translation>
    </message>
    <message>
        <source>Today</source>
        <translation>Heute</translation>
    </message>
    <message>
        <source>Yesterday</source>
        <translation>Gestern</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Quibbo</source>
        <translation>Quibbo</translation>
    </message>
    <message>
        <source>&amp;Message:</source>
        <translation>&amp;Nachricht:</translation>
    </message>
    <message>
        <source>Credits:</source>
        <translation>Guthaben:</translation>
    </message>
    <message>
        <source>Credits</source>
        <translation>Guthaben</translation>
    </message>
    <message>
        <source>Message</source>
        <translation>Nachricht</translation>
    </message>
    <message>
        <source>Message length: the number of text messages (parts) it takes, then the characters in the last part</source>
        <translation>Länge der Nachricht: die Zahl der SMS (Teile), die sie braucht, dann die Zeichen im letzten Teil</translation>
    </message>
    <message>
        <source>Message length: parts, then characters in the last part</source>
        <translation>Länge der Nachricht: Teile, dann Zeichen im letzten Teil</translation>
    </message>
    <message>
        <source>Re&amp;cipient:</source>
        <translation>&amp;Empfänger:</translation>
    </message>
    <message>
        <source>Recipient</source>
        <translation>Empfänger</translation>
    </message>
    <message>
        <source>&amp;Send</source>
        <translation>&amp;Senden</translation>
    </message>
    <message>
        <source>Send</source>
        <translation>Senden</translation>
    </message>
    <message>
        <source>Send the message (Ctrl+Return)</source>
        <translation>Die Nachricht senden (Strg+Eingabe)</translation>
    </message>
    <message>
        <source>Sending progress</source>
        <translation>Fortschritt des Sendens</translation>
    </message>
    <message>
        <source>Progress</source>
        <translation>Fortschritt</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>&amp;History:</source>
        <translation>&amp;Verlauf:</translation>
    </message>
    <message>
        <source>&amp;Refresh</source>
        <translation>A&amp;ktualisieren</translation>
    </message>
    <message>
        <source>Refresh history</source>
        <translation>Verlauf aktualisieren</translation>
    </message>
    <message>
        <source>Fetch the history again (F5)</source>
        <translation>Den Verlauf neu abrufen (F5)</translation>
    </message>
    <message>
        <source>Message history</source>
        <translation>Nachrichtenverlauf</translation>
    </message>
    <message>
        <source>History status</source>
        <translation>Status des Verlaufs</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Ansicht</translation>
    </message>
    <message>
        <source>&amp;Preferences…</source>
        <translation>&amp;Einstellungen …</translation>
    </message>
    <message>
        <source>Ctrl+,</source>
        <translation>Ctrl+,</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>Ctrl+Q</source>
        <translation>Ctrl+Q</translation>
    </message>
    <message>
        <source>&amp;Address Book</source>
        <translation>&amp;Adressbuch</translation>
    </message>
    <message>
        <source>Notice</source>
        <translation>Hinweis</translation>
    </message>
    <message>
        <source>Your settings could not be saved: %1. Your changes apply until you quit, and are saved as soon as that is possible.</source>
        <translation>Ihre Einstellungen konnten nicht gespeichert werden: %1. Ihre Änderungen gelten bis zum Beenden und werden gespeichert, sobald das möglich ist.</translation>
    </message>
    <message>
        <source>Your draft could not be saved: %1. It is saved as soon as that is possible.</source>
        <translation>Ihr Entwurf konnte nicht gespeichert werden: %1. Er wird gespeichert, sobald das möglich ist.</translation>
    </message>
    <message>
        <source>Your keyring is locked, so your passwords cannot be read. Quibbo asks for it to be unlocked when it needs them.</source>
        <translation>Ihr Schlüsselbund ist gesperrt, daher können Ihre Passwörter nicht gelesen werden. Quibbo bittet um das Entsperren, wenn es sie braucht.</translation>
    </message>
    <message>
        <source>See the messages waiting to be sent</source>
        <translation>Die Nachrichten ansehen, die auf das Senden warten</translation>
    </message>
    <message>
        <source>Send &amp;When Possible</source>
        <translation>Senden, &amp;wenn möglich</translation>
    </message>
    <message>
        <source>Put the message in the outbox; it is sent as soon as the service can be reached</source>
        <translation>Die Nachricht in den Postausgang legen; sie wird gesendet, sobald der Dienst erreichbar ist</translation>
    </message>
    <message>
        <source>The outbox could not be saved: %1. Its messages are sent while Quibbo runs, and it is saved as soon as that is possible.</source>
        <translation>Der Postausgang konnte nicht gespeichert werden: %1. Seine Nachrichten werden gesendet, solange Quibbo läuft, und er wird gespeichert, sobald das möglich ist.</translation>
    </message>
    <message numerus="yes">
        <source>&amp;Outbox (%n waiting)</source>
        <translation>
            <numerusform>&amp;Postausgang (%n wartend)</numerusform>
            <numerusform>&amp;Postausgang (%n wartend)</numerusform>
        </translation>
    </message>
    <message>
        <source>Quibbo runs in another session of yours: messages are sent and the outbox is kept there.</source>
        <translation>Quibbo läuft in einer anderen Sitzung von Ihnen: Nachrichten werden dort gesendet, und dort wird der Postausgang geführt.</translation>
    </message>
    <message>
        <source>Your keyring does not answer (its service is not running), so your passwords cannot be read. Quibbo asks it again when it needs them.</source>
        <translation>Ihr Schlüsselbund antwortet nicht (sein Dienst läuft nicht), daher können Ihre Passwörter nicht gelesen werden. Quibbo fragt ihn erneut, wenn es sie braucht.</translation>
    </message>
    <message>
        <source>Your draft could not be saved: %1.</source>
        <translation>Ihr Entwurf konnte nicht gespeichert werden: %1.</translation>
    </message>
    <message>
        <source>If you quit now, the message you are typing is lost.</source>
        <translation>Wenn Sie jetzt beenden, geht die Nachricht verloren, die Sie gerade schreiben.</translation>
    </message>
    <message>
        <source>&amp;Quit Anyway</source>
        <translation>&amp;Trotzdem beenden</translation>
    </message>
    <message>
        <source>&amp;Export History…</source>
        <translation>Verlauf &amp;exportieren…</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>Suchen</translation>
    </message>
    <message>
        <source>Search history</source>
        <translation>Verlauf durchsuchen</translation>
    </message>
    <message>
        <source>Show the messages whose text, number or contact name holds this (Ctrl+F; Escape empties it)</source>
        <translation>Zeigt die Nachrichten, deren Text, Nummer oder Kontaktname dies enthält (Strg+F; Escape leert das Feld)</translation>
    </message>
    <message>
        <source>State filter</source>
        <translation>Statusfilter</translation>
    </message>
    <message>
        <source>Messages shown</source>
        <translation>Angezeigte Nachrichten</translation>
    </message>
    <message>
        <source>Messages this send takes</source>
        <translation>Nachrichten, die dieses Senden braucht</translation>
    </message>
    <message>
        <source>Outcome for each recipient</source>
        <translation>Ergebnis für jeden Empfänger</translation>
    </message>
</context>
<context>
    <name>MessageCount</name>
    <message>
        <source>%1 × %2 = %3</source>
        <extracomment>%1 is &quot;3 recipients&quot;, %2 &quot;2 parts&quot;, %3 &quot;6 messages&quot;: what a send to several takes.</extracomment>
        <translation>%1 × %2 = %3</translation>
    </message>
    <message numerus="yes">
        <source>%n recipients</source>
        <translation>
            <numerusform>%n Empfänger</numerusform>
            <numerusform>%n Empfänger</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n parts</source>
        <translation>
            <numerusform>%n Teil</numerusform>
            <numerusform>%n Teile</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n messages</source>
        <translation>
            <numerusform>%n Nachricht</numerusform>
            <numerusform>%n Nachrichten</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>MsgHistoryDataSource</name>
    <message numerus="yes">
        <source>Listing last refreshed at %1. Contains %n messages.</source>
        <translation>
            <numerusform>Liste zuletzt um %1 aktualisiert. Sie enthält %n Nachricht.</numerusform>
            <numerusform>Liste zuletzt um %1 aktualisiert. Sie enthält %n Nachrichten.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>NewSWVersionController</name>
    <message>
        <source>Before Installing...</source>
        <translation>Vor der Installation …</translation>
    </message>
    <message>
        <source>When you click OK the new version of Quibbo will be downloaded to the folder that your default web browser normally downloads to. After it has finished downloading, please QUIT this version of Quibbo before installing the new one.</source>
        <translation>Wenn Sie auf OK klicken, wird die neue Version von Quibbo in den Ordner heruntergeladen, in den Ihr Standard-Webbrowser sonst herunterlädt. Wenn der Download abgeschlossen ist, BEENDEN Sie bitte diese Version von Quibbo, bevor Sie die neue installieren.</translation>
    </message>
    <message>
        <source>No download address</source>
        <translation>Keine Download-Adresse</translation>
    </message>
    <message>
        <source>The service named no web address to download the new version from. Please try again later.</source>
        <translation>Der Dienst hat keine Webadresse genannt, von der die neue Version heruntergeladen werden kann. Bitte versuchen Sie es später noch einmal.</translation>
    </message>
</context>
<context>
    <name>OptionsControllers</name>
    <message>
        <source>Invalid Account Details</source>
        <translation>Ungültige Kontodaten</translation>
    </message>
    <message>
        <source>It has not been possible to connect to your account.  This is most likely because you either mistyped your email address or password, or the account does not exist.  You may also see this error if you are not currently connected to the Internet.  If you cannot rectify this problem by checking and retyping your account details then please contact support@quibbo.example</source>
        <translation>Die Verbindung zu Ihrem Konto war nicht möglich.  Wahrscheinlich haben Sie sich bei der E-Mail-Adresse oder beim Passwort vertippt, oder das Konto existiert nicht.  Dieser Fehler kann auch erscheinen, wenn Sie gerade nicht mit dem Internet verbunden sind.  Wenn Sie das Problem nicht durch Prüfen und erneutes Eingeben Ihrer Kontodaten beheben können, wenden Sie sich bitte an support@quibbo.example</translation>
    </message>
    <message>
        <source>Account Verified</source>
        <translation>Konto bestätigt</translation>
    </message>
    <message>
        <source>Thank you.  The account details you have supplied match a live account in the Quibbo system.  You can now proceed to send SMS messages.</source>
        <translation>Vielen Dank.  Die angegebenen Kontodaten gehören zu einem aktiven Konto im Quibbo-System.  Sie können jetzt SMS senden.</translation>
    </message>
</context>
<context>
    <name>OutboxDialog</name>
    <message>
        <source>Outbox</source>
        <translation>Postausgang</translation>
    </message>
    <message>
        <source>&amp;Messages waiting to be sent:</source>
        <translation>&amp;Wartende Nachrichten:</translation>
    </message>
    <message>
        <source>Waiting messages</source>
        <translation>Wartende Nachrichten</translation>
    </message>
    <message>
        <source>Outbox status</source>
        <translation>Status des Postausgangs</translation>
    </message>
    <message>
        <source>&amp;Take Back</source>
        <translation>&amp;Zurücknehmen</translation>
    </message>
    <message>
        <source>Put the message back in the message view to change it</source>
        <translation>Die Nachricht zurück in das Nachrichtenfeld holen, um sie zu ändern</translation>
    </message>
    <message>
        <source>&amp;Drop</source>
        <translation>&amp;Verwerfen</translation>
    </message>
    <message>
        <source>Remove the message without sending it</source>
        <translation>Die Nachricht entfernen, ohne sie zu senden</translation>
    </message>
    <message>
        <source>Send &amp;Now</source>
        <translation>&amp;Jetzt senden</translation>
    </message>
    <message>
        <source>Try every waiting message now</source>
        <translation>Alle wartenden Nachrichten jetzt versuchen</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>S&amp;chließen</translation>
    </message>
    <message>
        <source>The message is being sent now and cannot be dropped.</source>
        <translation>Die Nachricht wird gerade gesendet und kann nicht verworfen werden.</translation>
    </message>
    <message>
        <source>being sent now</source>
        <translation>wird gerade gesendet</translation>
    </message>
    <message>
        <source>stopped: insufficient credits</source>
        <translation>angehalten: nicht genug Guthaben</translation>
    </message>
    <message>
        <source>waiting for the service</source>
        <translation>wartet auf den Dienst</translation>
    </message>
    <message>
        <source>To %1: %2 (%3, put in %4)</source>
        <translation>An %1: %2 (%3, eingelegt %4)</translation>
    </message>
    <message>
        <source>the service refused it: change it or send it again</source>
        <translation>vom Dienst abgelehnt: ändern oder erneut senden</translation>
    </message>
    <message>
        <source>the service did not receive it: send it again or take it back</source>
        <translation>beim Dienst nicht angekommen: erneut senden oder zurücknehmen</translation>
    </message>
    <message>
        <source>invalid phone number: take it back to correct it</source>
        <translation>ungültige Telefonnummer: zum Berichtigen zurücknehmen</translation>
    </message>
    <message>
        <source>not known whether the service received it: see the history, then take it back to send it again</source>
        <translation>unbekannt, ob der Dienst sie erhalten hat: im Verlauf nachsehen, dann zum erneuten Senden zurücknehmen</translation>
    </message>
</context>
<context>
    <name>PreferencesWindow</name>
    <message>
        <source>Preferences</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>&amp;Account</source>
        <translation>&amp;Konto</translation>
    </message>
    <message>
        <source>&amp;E-mail address:</source>
        <translation>&amp;E-Mail-Adresse:</translation>
    </message>
    <message>
        <source>E-mail address</source>
        <translation>E-Mail-Adresse</translation>
    </message>
    <message>
        <source>&amp;Password:</source>
        <translation>&amp;Passwort:</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Passwort</translation>
    </message>
    <message>
        <source>&amp;Buy Credits</source>
        <translation>Guthaben k&amp;aufen</translation>
    </message>
    <message>
        <source>Buy Credits</source>
        <translation>Guthaben kaufen</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Speichern</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>No keyring on this desktop would keep your passwords, so they are stored in a file that only you can read.</source>
        <translation>Kein Schlüsselbund dieses Desktops bewahrt Ihre Passwörter auf, daher werden sie in einer Datei gespeichert, die nur Sie lesen können.</translation>
    </message>
    <message>
        <source>Se&amp;nding</source>
        <translation>Versa&amp;nd</translation>
    </message>
    <message>
        <source>Sender &amp;ID:</source>
        <translation>Absender-&amp;ID:</translation>
    </message>
    <message>
        <source>Sender ID</source>
        <translation>Absender-ID</translation>
    </message>
    <message>
        <source>&amp;Replace a leading 0 with the dialling code</source>
        <translation>Führende 0 durch die Ländervo&amp;rwahl ersetzen</translation>
    </message>
    <message>
        <source>Replace a leading 0 with the dialling code</source>
        <translation>Führende 0 durch die Ländervorwahl ersetzen</translation>
    </message>
    <message>
        <source>&amp;Dialling code:</source>
        <translation>&amp;Ländervorwahl:</translation>
    </message>
    <message>
        <source>Dialling code</source>
        <translation>Ländervorwahl</translation>
    </message>
    <message>
        <source>Allow &amp;long messages (up to 4 parts)</source>
        <translation>Lan&amp;ge Nachrichten erlauben (bis zu 4 Teile)</translation>
    </message>
    <message>
        <source>Allow long messages (up to 4 parts)</source>
        <translation>Lange Nachrichten erlauben (bis zu 4 Teile)</translation>
    </message>
    <message>
        <source>No&amp;tify me when a message is delivered or fails</source>
        <translation>&amp;Benachrichtigen, wenn eine Nachricht zugestellt wird oder fehlschlägt</translation>
    </message>
    <message>
        <source>Notify me when a message is delivered or fails</source>
        <translation>Benachrichtigen, wenn eine Nachricht zugestellt wird oder fehlschlägt</translation>
    </message>
    <message>
        <source>The sender ID is the name or number your recipients see: up to 11 letters and digits, or a number of up to 16 digits with &quot;+&quot;.</source>
        <translation>Die Absender-ID ist der Name oder die Nummer, die Ihre Empfänger sehen: bis zu 11 Buchstaben und Ziffern oder eine Nummer mit bis zu 16 Ziffern und „+“.</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>S&amp;chließen</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
</context>
<context>
    <name>RecipientCompleter</name>
    <message>
        <source>%1 (%2: %3)</source>
        <extracomment>A completion of the recipient: the person, the number&apos;s label, the number.</extracomment>
        <translation>%1 (%2: %3)</translation>
    </message>
    <message>
        <source>%1 (recent)</source>
        <extracomment>A completion of the recipient from the recent numbers.</extracomment>
        <translation>%1 (zuletzt)</translation>
    </message>
</context>
<context>
    <name>RecipientList</name>
    <message>
        <source>Not a phone number, nor the name of anyone with a mobile number: %1. Nothing was sent.</source>
        <extracomment>%1 is what was typed, as &quot;07700 9001234567890, Bob&quot;; nothing was sent to anyone.</extracomment>
        <translation>Weder eine Telefonnummer noch der Name einer Person mit Mobilnummer: %1. Es wurde nichts gesendet.</translation>
    </message>
    <message>
        <source>%1 (%2: %3)</source>
        <extracomment>A number a typed name may stand for: the person, the number&apos;s label, the number.</extracomment>
        <translation>%1 (%2: %3)</translation>
    </message>
    <message>
        <source>&quot;%1&quot; may be %2: type the number to send to. Nothing was sent.</source>
        <extracomment>%1 is the typed name, %2 the numbers it may stand for. Nothing was sent.</extracomment>
        <translation>„%1“ kann %2 sein: Geben Sie die Nummer ein, an die gesendet werden soll. Es wurde nichts gesendet.</translation>
    </message>
    <message>
        <source> or </source>
        <translation> oder </translation>
    </message>
</context>
<context>
    <name>RecipientOutcomes</name>
    <message>
        <source>Recipient</source>
        <extracomment>The column of the people and numbers a message went to.</extracomment>
        <translation>Empfänger</translation>
    </message>
    <message>
        <source>Outcome</source>
        <translation>Ergebnis</translation>
    </message>
</context>
<context>
    <name>SendSMSPushed</name>
    <message>
        <source>Sending...</source>
        <translation>Wird gesendet …</translation>
    </message>
    <message>
        <source>Invalid phone number.</source>
        <translation>Ungültige Telefonnummer.</translation>
    </message>
    <message>
        <source>Error talking to server.</source>
        <translation>Fehler bei der Verbindung zum Server.</translation>
    </message>
    <message>
        <source>Server rejected messages.</source>
        <translation>Der Server hat die Nachricht abgelehnt.</translation>
    </message>
    <message>
        <source>Insufficient credits.</source>
        <translation>Nicht genug Guthaben.</translation>
    </message>
    <message>
        <source>Message failed at %1. %2</source>
        <translation>Senden um %1 fehlgeschlagen. %2</translation>
    </message>
    <message>
        <source>Failed</source>
        <extracomment>The progress word beside the send indicator: the attempt failed.</extracomment>
        <translation>Fehlgeschlagen</translation>
    </message>
    <message>
        <source>Insufficient credits in account</source>
        <translation>Nicht genug Guthaben auf dem Konto</translation>
    </message>
    <message>
        <source>You do not have sufficient credit to send this message.  Please top-up and then try resending.</source>
        <translation>Ihr Guthaben reicht nicht, um diese Nachricht zu senden.  Bitte laden Sie Guthaben auf und senden Sie die Nachricht dann erneut.</translation>
    </message>
    <message>
        <source>Message sent at %1.</source>
        <translation>Nachricht um %1 gesendet.</translation>
    </message>
    <message>
        <source>Sent</source>
        <translation>Gesendet</translation>
    </message>
    <message>
        <source>No answer came at %1. Looking in the history for the message before it can be sent again...</source>
        <translation>Um %1 kam keine Antwort. Die Nachricht wird im Verlauf gesucht, bevor sie erneut gesendet werden kann …</translation>
    </message>
    <message>
        <source>Checking</source>
        <extracomment>The progress word while the service&apos;s history is searched for the message.</extracomment>
        <translation>Wird geprüft</translation>
    </message>
    <message>
        <source>Error talking to server. The service did not receive the message, so you can send it again.</source>
        <translation>Fehler bei der Verbindung zum Server. Der Dienst hat die Nachricht nicht erhalten; Sie können sie erneut senden.</translation>
    </message>
    <message>
        <source>Error talking to server. Whether the service received the message is not known: look for it in the history before you send it again.</source>
        <translation>Fehler bei der Verbindung zum Server. Ob der Dienst die Nachricht erhalten hat, ist nicht bekannt: Sehen Sie im Verlauf nach, bevor Sie sie erneut senden.</translation>
    </message>
    <message>
        <source>The message waits in the outbox, and is sent as soon as the service can be reached.</source>
        <translation>Die Nachricht wartet im Postausgang und wird gesendet, sobald der Dienst erreichbar ist.</translation>
    </message>
    <message>
        <source>A message is being sent; take this one back when it has gone.</source>
        <translation>Gerade wird eine Nachricht gesendet; nehmen Sie diese zurück, wenn sie fort ist.</translation>
    </message>
    <message>
        <source>The message is being sent now and cannot be taken back.</source>
        <translation>Die Nachricht wird gerade gesendet und kann nicht zurückgenommen werden.</translation>
    </message>
    <message>
        <source>The message is no longer in the outbox.</source>
        <translation>Die Nachricht ist nicht mehr im Postausgang.</translation>
    </message>
    <message>
        <source>Send or clear the message you are typing first.</source>
        <translation>Senden oder leeren Sie zuerst die Nachricht, die Sie gerade schreiben.</translation>
    </message>
    <message>
        <source>Message sent at %1. Its answer never came, but the service&apos;s history lists it.</source>
        <translation>Nachricht um %1 gesendet. Ihre Antwort kam nie an, aber der Verlauf des Dienstes führt sie.</translation>
    </message>
    <message>
        <source>Quibbo runs in another session of yours and sends from there; quit it to send from here.</source>
        <translation>Quibbo läuft in einer anderen Sitzung von Ihnen und sendet von dort; beenden Sie es, um von hier zu senden.</translation>
    </message>
    <message>
        <source>The message could not be put in the outbox (%1).</source>
        <extracomment>%1 is why the disk would not take it, as &quot;the disk is full&quot;.</extracomment>
        <translation>Die Nachricht konnte nicht in den Postausgang gelegt werden (%1).</translation>
    </message>
    <message>
        <source>The message could not be saved before sending (%1), so it was not sent.</source>
        <translation>Die Nachricht konnte vor dem Senden nicht gespeichert werden (%1) und wurde deshalb nicht gesendet.</translation>
    </message>
    <message numerus="yes">
        <source>Send this message to %n recipients?</source>
        <translation>
            <numerusform>Diese Nachricht an %n Empfänger senden?</numerusform>
            <numerusform>Diese Nachricht an %n Empfänger senden?</numerusform>
        </translation>
    </message>
    <message>
        <source>Each recipient is sent a message of their own, and each is charged.</source>
        <translation>Jeder Empfänger erhält eine eigene Nachricht, und jede wird berechnet.</translation>
    </message>
    <message>
        <source>&amp;Send to All</source>
        <translation>An &amp;alle senden</translation>
    </message>
</context>
<context>
    <name>SendToSeveral</name>
    <message>
        <source>Sending %1 of %2...</source>
        <extracomment>%1 is which recipient is being sent to, %2 how many there are.</extracomment>
        <translation>Wird gesendet: %1 von %2 …</translation>
    </message>
    <message>
        <source>Sent</source>
        <extracomment>A recipient&apos;s outcome in the list of a send to several.</extracomment>
        <translation>Gesendet</translation>
    </message>
    <message>
        <source>Sent: its answer never came, but the service&apos;s history lists it</source>
        <translation>Gesendet: Die Antwort kam nie, aber der Verlauf des Dienstes führt sie</translation>
    </message>
    <message>
        <source>Insufficient credits</source>
        <translation>Nicht genug Guthaben</translation>
    </message>
    <message>
        <source>The server rejected the message</source>
        <translation>Der Server hat die Nachricht abgelehnt</translation>
    </message>
    <message>
        <source>Error talking to server</source>
        <translation>Fehler bei der Verbindung zum Server</translation>
    </message>
    <message>
        <source>Not sent: it could not be saved before sending (%1)</source>
        <extracomment>%1 is why the disk would not take it, as &quot;the disk is full&quot;.</extracomment>
        <translation>Nicht gesendet: Sie konnte vor dem Senden nicht gespeichert werden (%1)</translation>
    </message>
    <message>
        <source>The service did not receive it: you can send it again</source>
        <translation>Der Dienst hat sie nicht erhalten: Sie können sie erneut senden</translation>
    </message>
    <message>
        <source>Whether the service received it is not known: look in the history</source>
        <translation>Ob der Dienst sie erhalten hat, ist nicht bekannt: Sehen Sie im Verlauf nach</translation>
    </message>
    <message>
        <source>Not sent: insufficient credits</source>
        <extracomment>A recipient&apos;s outcome: the send stopped before it (a lack of credit, as a rule).</extracomment>
        <translation>Nicht gesendet: nicht genug Guthaben</translation>
    </message>
    <message>
        <source>Not sent</source>
        <translation>Nicht gesendet</translation>
    </message>
    <message>
        <source>Sent to %1 of %2 recipients at %3.</source>
        <extracomment>%1 recipients of %2 got the message, at %3.</extracomment>
        <translation>Um %3 an %1 von %2 Empfängern gesendet.</translation>
    </message>
    <message numerus="yes">
        <source>%n failed.</source>
        <translation>
            <numerusform>%n fehlgeschlagen.</numerusform>
            <numerusform>%n fehlgeschlagen.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n not sent for lack of credit.</source>
        <translation>
            <numerusform>%n mangels Guthaben nicht gesendet.</numerusform>
            <numerusform>%n mangels Guthaben nicht gesendet.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>ServicesClass</name>
    <message>
        <source>Error: couldn&apos;t send as an SMS.</source>
        <translation>Fehler: Konnte nicht als SMS gesendet werden.</translation>
    </message>
</context>
<context>
    <name>ServicesRequestWindow</name>
    <message>
        <source>Send as SMS</source>
        <translation>Als SMS senden</translation>
    </message>
    <message>
        <source>Send the selected text as an SMS to:</source>
        <translation>Den ausgewählten Text als SMS senden an:</translation>
    </message>
    <message>
        <source>&amp;Another Number</source>
        <translation>&amp;Andere Nummer</translation>
    </message>
    <message>
        <source>Another Number</source>
        <translation>Andere Nummer</translation>
    </message>
    <message>
        <source>My &amp;Phone</source>
        <translation>Mein &amp;Telefon</translation>
    </message>
    <message>
        <source>My Phone</source>
        <translation>Mein Telefon</translation>
    </message>
</context>
<context>
    <name>SetupAssistant</name>
    <message>
        <source>Setup</source>
        <translation>Einrichtung</translation>
    </message>
    <message>
        <source>&lt;h2&gt;Welcome to Quibbo&lt;/h2&gt;</source>
        <translation>&lt;h2&gt;Willkommen bei Quibbo&lt;/h2&gt;</translation>
    </message>
    <message>
        <source>Quibbo sends text messages from your desktop through your Quibbo account, paid for in credits. This assistant sets up your account: it registers a new one or attaches the one you already have, then asks where you are so that national numbers can be sent correctly.</source>
        <translation>Quibbo sendet SMS von Ihrem Desktop über Ihr Quibbo-Konto, bezahlt mit Guthaben. Dieser Assistent richtet Ihr Konto ein: Er legt ein neues an oder verbindet das, das Sie schon haben, und fragt dann, wo Sie sind, damit nationale Nummern richtig gesendet werden.</translation>
    </message>
    <message>
        <source>&amp;Continue</source>
        <translation>&amp;Weiter</translation>
    </message>
    <message>
        <source>Continue</source>
        <translation>Weiter</translation>
    </message>
    <message>
        <source>&lt;h2&gt;Your e-mail address&lt;/h2&gt;</source>
        <translation>&lt;h2&gt;Ihre E-Mail-Adresse&lt;/h2&gt;</translation>
    </message>
    <message>
        <source>&amp;E-mail address:</source>
        <translation>&amp;E-Mail-Adresse:</translation>
    </message>
    <message>
        <source>E-mail address</source>
        <translation>E-Mail-Adresse</translation>
    </message>
    <message>
        <source>Create a &amp;new account</source>
        <translation>&amp;Neues Konto anlegen</translation>
    </message>
    <message>
        <source>Create a new account</source>
        <translation>Neues Konto anlegen</translation>
    </message>
    <message>
        <source>Use my e&amp;xisting account</source>
        <translation>Mein bestehendes &amp;Konto verwenden</translation>
    </message>
    <message>
        <source>Use my existing account</source>
        <translation>Mein bestehendes Konto verwenden</translation>
    </message>
    <message>
        <source>Message</source>
        <translation>Meldung</translation>
    </message>
    <message>
        <source>E-mail check progress</source>
        <translation>Fortschritt der E-Mail-Prüfung</translation>
    </message>
    <message>
        <source>&amp;Privacy policy</source>
        <translation>&amp;Datenschutzerklärung</translation>
    </message>
    <message>
        <source>Privacy policy</source>
        <translation>Datenschutzerklärung</translation>
    </message>
    <message>
        <source>&lt; &amp;Back</source>
        <translation>&lt; &amp;Zurück</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Zurück</translation>
    </message>
    <message>
        <source>&lt;h2&gt;Create a new account&lt;/h2&gt;</source>
        <translation>&lt;h2&gt;Neues Konto anlegen&lt;/h2&gt;</translation>
    </message>
    <message>
        <source>E-mail address:</source>
        <translation>E-Mail-Adresse:</translation>
    </message>
    <message>
        <source>&amp;First name:</source>
        <translation>&amp;Vorname:</translation>
    </message>
    <message>
        <source>First name</source>
        <translation>Vorname</translation>
    </message>
    <message>
        <source>&amp;Surname:</source>
        <translation>&amp;Nachname:</translation>
    </message>
    <message>
        <source>Surname</source>
        <translation>Nachname</translation>
    </message>
    <message>
        <source>&amp;Password:</source>
        <translation>&amp;Passwort:</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Passwort</translation>
    </message>
    <message>
        <source>Password &amp;again:</source>
        <translation>Passwort wieder&amp;holen:</translation>
    </message>
    <message>
        <source>Password again</source>
        <translation>Passwort wiederholen</translation>
    </message>
    <message>
        <source>Account creation progress</source>
        <translation>Fortschritt der Kontoeinrichtung</translation>
    </message>
    <message>
        <source>C&amp;reate Account</source>
        <translation>Konto &amp;anlegen</translation>
    </message>
    <message>
        <source>Create Account</source>
        <translation>Konto anlegen</translation>
    </message>
    <message>
        <source>&lt;h2&gt;Confirm your e-mail address&lt;/h2&gt;</source>
        <translation>&lt;h2&gt;E-Mail-Adresse bestätigen&lt;/h2&gt;</translation>
    </message>
    <message>
        <source>We have sent you an e-mail with a link that confirms your address. Open it, follow the link, then come back here and press Check. If the e-mail has not arrived, look in your spam folder.</source>
        <translation>Wir haben Ihnen eine E-Mail mit einem Link geschickt, der Ihre Adresse bestätigt. Öffnen Sie sie, folgen Sie dem Link, kommen Sie dann hierher zurück und drücken Sie „Prüfen“. Wenn die E-Mail nicht angekommen ist, sehen Sie in Ihrem Spam-Ordner nach.</translation>
    </message>
    <message>
        <source>Confirmation check progress</source>
        <translation>Fortschritt der Bestätigungsprüfung</translation>
    </message>
    <message>
        <source>&amp;Check</source>
        <translation>&amp;Prüfen</translation>
    </message>
    <message>
        <source>Check</source>
        <translation>Prüfen</translation>
    </message>
    <message>
        <source>&lt;h2&gt;Your existing account&lt;/h2&gt;</source>
        <translation>&lt;h2&gt;Ihr bestehendes Konto&lt;/h2&gt;</translation>
    </message>
    <message>
        <source>Account check progress</source>
        <translation>Fortschritt der Kontoprüfung</translation>
    </message>
    <message>
        <source>&amp;Forgot password?</source>
        <translation>Passwort &amp;vergessen?</translation>
    </message>
    <message>
        <source>Forgot password?</source>
        <translation>Passwort vergessen?</translation>
    </message>
    <message>
        <source>&lt;h2&gt;Where you are&lt;/h2&gt;</source>
        <translation>&lt;h2&gt;Wo Sie sind&lt;/h2&gt;</translation>
    </message>
    <message>
        <source>Choose your home country. Its dialling code can replace the leading 0 of the national numbers you type, and your own mobile number is shown to the people you write to.</source>
        <translation>Wählen Sie Ihr Heimatland. Seine Ländervorwahl kann die führende 0 der nationalen Nummern ersetzen, die Sie eingeben, und Ihre eigene Mobilnummer wird den Menschen gezeigt, denen Sie schreiben.</translation>
    </message>
    <message>
        <source>C&amp;ountry:</source>
        <translation>&amp;Land:</translation>
    </message>
    <message>
        <source>Country</source>
        <translation>Land</translation>
    </message>
    <message>
        <source>Choose your country</source>
        <translation>Wählen Sie Ihr Land</translation>
    </message>
    <message>
        <source>&amp;Dialling code:</source>
        <translation>Länder&amp;vorwahl:</translation>
    </message>
    <message>
        <source>Dialling code</source>
        <translation>Ländervorwahl</translation>
    </message>
    <message>
        <source>Your &amp;mobile number:</source>
        <translation>Ihre &amp;Mobilnummer:</translation>
    </message>
    <message>
        <source>Your mobile number</source>
        <translation>Ihre Mobilnummer</translation>
    </message>
    <message>
        <source>Replace a leading &amp;0 with the dialling code</source>
        <translation>Führende &amp;0 durch die Ländervorwahl ersetzen</translation>
    </message>
    <message>
        <source>Replace a leading 0 with the dialling code</source>
        <translation>Führende 0 durch die Ländervorwahl ersetzen</translation>
    </message>
    <message>
        <source>&lt;h2&gt;All set&lt;/h2&gt;</source>
        <translation>&lt;h2&gt;Alles bereit&lt;/h2&gt;</translation>
    </message>
    <message>
        <source>Your account is ready. Press Finish to start sending messages.</source>
        <translation>Ihr Konto ist bereit. Drücken Sie „Fertig“, um Nachrichten zu senden.</translation>
    </message>
    <message>
        <source>&amp;Finish</source>
        <translation>&amp;Fertig</translation>
    </message>
    <message>
        <source>Finish</source>
        <translation>Fertig</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Beenden</translation>
    </message>
</context>
<context>
    <name>SetupAssistantController</name>
    <message>
        <source>There was an error trying to connect to the registration server.
Please check your Internet connection and try again.</source>
        <translation>Beim Verbinden mit dem Registrierungsserver ist ein Fehler aufgetreten.
Bitte prüfen Sie Ihre Internetverbindung und versuchen Sie es erneut.</translation>
    </message>
    <message>
        <source>There was an error trying to connect to the accounts server.
Please check your Internet connection and try again.</source>
        <translation>Beim Verbinden mit dem Kontenserver ist ein Fehler aufgetreten.
Bitte prüfen Sie Ihre Internetverbindung und versuchen Sie es erneut.</translation>
    </message>
    <message>
        <source>Verifying email address...
Please wait.</source>
        <translation>E-Mail-Adresse wird geprüft …
Bitte warten.</translation>
    </message>
    <message>
        <source>You need to type in a valid email address before we can proceed.</source>
        <translation>Bitte geben Sie eine gültige E-Mail-Adresse ein, bevor es weitergehen kann.</translation>
    </message>
    <message>
        <source>You can not create a new account with this email address as it is already registered. Please either choose a different email address or select the option to use your existing account.</source>
        <translation>Mit dieser E-Mail-Adresse kann kein neues Konto angelegt werden, weil sie bereits registriert ist. Bitte wählen Sie eine andere E-Mail-Adresse oder die Möglichkeit, Ihr bestehendes Konto zu verwenden.</translation>
    </message>
    <message>
        <source>Attempting to create account...
Please wait.</source>
        <translation>Konto wird angelegt …
Bitte warten.</translation>
    </message>
    <message>
        <source>You need to provide us with your Firstname.</source>
        <translation>Bitte geben Sie Ihren Vornamen an.</translation>
    </message>
    <message>
        <source>You need to provide us with your Surname.</source>
        <translation>Bitte geben Sie Ihren Nachnamen an.</translation>
    </message>
    <message>
        <source>Your password must be a minimum of 6 letters or numbers in length.</source>
        <translation>Ihr Passwort muss mindestens 6 Buchstaben oder Ziffern lang sein.</translation>
    </message>
    <message>
        <source>Your confirmation password doesn&apos;t match the first password you entered.</source>
        <translation>Die Wiederholung stimmt nicht mit dem zuerst eingegebenen Passwort überein.</translation>
    </message>
    <message>
        <source>Checking account status...
Please wait.</source>
        <translation>Kontostatus wird geprüft …
Bitte warten.</translation>
    </message>
    <message>
        <source>There is a problem connecting to this account. Please check that you have supplied the right email address and retype the password.</source>
        <translation>Beim Verbinden mit diesem Konto ist ein Problem aufgetreten. Bitte prüfen Sie, ob die E-Mail-Adresse stimmt, und geben Sie das Passwort erneut ein.</translation>
    </message>
</context>
<context>
    <name>StorageStatus</name>
    <message>
        <source>the disk is full</source>
        <translation>der Datenträger ist voll</translation>
    </message>
    <message>
        <source>your disk quota is used up</source>
        <translation>Ihr Speicherkontingent ist aufgebraucht</translation>
    </message>
    <message>
        <source>the folder is read-only</source>
        <translation>der Ordner ist schreibgeschützt</translation>
    </message>
    <message>
        <source>you are not allowed to write to its folder</source>
        <translation>Sie dürfen nicht in seinen Ordner schreiben</translation>
    </message>
    <message>
        <source>the disk reported an error</source>
        <translation>der Datenträger hat einen Fehler gemeldet</translation>
    </message>
    <message>
        <source>Your keyring does not answer, so your password cannot be read.</source>
        <translation>Ihr Schlüsselbund antwortet nicht, daher kann Ihr Passwort nicht gelesen werden.</translation>
    </message>
    <message>
        <source>Your keyring is locked, so your password cannot be read.</source>
        <translation>Ihr Schlüsselbund ist gesperrt, daher kann Ihr Passwort nicht gelesen werden.</translation>
    </message>
</context>
<context>
    <name>UpdatePanel</name>
    <message>
        <source>Software Update</source>
        <translation>Softwareaktualisierung</translation>
    </message>
    <message>
        <source>A new version of Quibbo is available.</source>
        <translation>Eine neue Version von Quibbo ist verfügbar.</translation>
    </message>
    <message>
        <source>Release notes</source>
        <translation>Versionshinweise</translation>
    </message>
    <message>
        <source>&amp;Not Now</source>
        <translation>&amp;Nicht jetzt</translation>
    </message>
    <message>
        <source>Not Now</source>
        <translation>Nicht jetzt</translation>
    </message>
    <message>
        <source>&amp;Download</source>
        <translation>&amp;Herunterladen</translation>
    </message>
    <message>
        <source>Download</source>
        <translation>Herunterladen</translation>
    </message>
</context>
<context>
    <name>VCard</name>
    <message>
        <source>Work</source>
        <translation>Arbeit</translation>
    </message>
    <message>
        <source>Home</source>
        <translation>Privat</translation>
    </message>
    <message>
        <source>Mobile</source>
        <translation>Mobil</translation>
    </message>
    <message>
        <source>Main</source>
        <translation>Hauptnummer</translation>
    </message>
    <message>
        <source>Pager</source>
        <translation>Pager</translation>
    </message>
    <message>
        <source>Home fax</source>
        <translation>Fax privat</translation>
    </message>
    <message>
        <source>Work fax</source>
        <translation>Fax Arbeit</translation>
    </message>
    <message>
        <source>Other</source>
        <translation>Andere</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Send text messages through your Quibbo account.</source>
        <translation>SMS über Ihr Quibbo-Konto senden.</translation>
    </message>
    <message>
        <source>Hand the text on standard input, else the selected text, else the clipboard,
to the Quibbo client as a message to address.</source>
        <translation>Den Text der Standardeingabe, sonst den ausgewählten Text, sonst die Zwischenablage
an den Quibbo-Client übergeben, als Nachricht, die noch adressiert wird.</translation>
    </message>
    <message>
        <source>write the whole history to FILE as CSV (- for standard output) and exit</source>
        <translation>den ganzen Verlauf als CSV in FILE schreiben (- für die Standardausgabe) und beenden</translation>
    </message>
</context>
</TS>
