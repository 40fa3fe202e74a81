#pragma once

#include <QLibrary>

// A library loaded on first use rather than linked, so that start-up does not pay for it.
class RuntimeLibrary
{
public:
    RuntimeLibrary(const QString& name, int version) : library(name, version) {}

    // Points function at the library's symbol of that name, typed as the function it stands
    // for; false (and nullptr) where the library or the symbol is missing.
    template <typename Function> bool resolve(Function*& function, const char* name)
    {
        function = reinterpret_cast<Function*>(library.resolve(name));
        complete = complete && function != nullptr;
        return function != nullptr;
    }

    // Whether every symbol asked for so far was found.
    bool resolvedAll() const { return complete; }

private:
    QLibrary library; // never unloaded: the functions stay valid to the end
    bool complete = true;
};
