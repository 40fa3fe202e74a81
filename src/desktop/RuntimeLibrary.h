#pragma once

#include <QLibrary>
#include <QList>

#include <functional>

// A library loaded on first use rather than linked, so that start-up does not pay for it. Each
// library the client loads so has a table: a class derived from this one that names the library
// and declares each function it calls as a Function member, under the name the library exports.
// load() resolves a table once, the first time it is asked for, on whichever thread asks.
class RuntimeLibrary
{
public:
    // A function of the library, called as the function itself; nullptr until resolved, and
    // where the library or the function is missing.
    template <typename Signature> class Function
    {
    public:
        using Pointer = Signature*;
        Function(RuntimeLibrary& table, const char* name)
        {
            table.functions.append({name, [this](QFunctionPointer found) {
                                        function = reinterpret_cast<Pointer>(found);
                                    }});
        }
        Function(const Function&) = default;
        operator Pointer() const { return function; }

    private:
        Pointer function = nullptr;
    };

    RuntimeLibrary(const QString& name, int version) : library(name, version) {}
    RuntimeLibrary(const RuntimeLibrary&) = delete;
    RuntimeLibrary& operator=(const RuntimeLibrary&) = delete;

    // The table, its functions resolved.
    template <typename Table> static const Table& load()
    {
        static const Table& table = []() -> const Table& {
            static Table resolved;
            resolved.resolveAll();
            return resolved;
        }();
        return table;
    }

    // Whether every function of the table was found.
    bool loaded() const { return complete; }

private:
    struct Entry
    {
        const char* name;
        std::function<void(QFunctionPointer)> set;
    };
    void resolveAll()
    {
        for (const Entry& entry : std::as_const(functions)) {
            const QFunctionPointer found = library.resolve(entry.name);
            entry.set(found);
            complete = complete && found != nullptr;
        }
    }

    QLibrary library; // never unloaded: the functions stay valid to the end
    QList<Entry> functions;
    bool complete = true;
};
