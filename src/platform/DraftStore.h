#pragma once

#include <QString>

#include <optional>

// The message being typed and its recipient, kept beside the settings so that a quit, a crash or
// a logout loses nothing: $XDG_STATE_HOME/quibbo/draft.json, mode 0600, written atomically. A
// file that cannot be read as a draft is no draft.
class DraftStore
{
public:
    struct Draft
    {
        QString message;
        QString recipient;
        friend bool operator==(const Draft&, const Draft&) = default;
    };

    explicit DraftStore(QString filePath);
    static QString defaultFilePath();

    std::optional<Draft> read() const;
    // An empty draft removes the file.
    void write(const Draft& draft);

private:
    QString path;
};
