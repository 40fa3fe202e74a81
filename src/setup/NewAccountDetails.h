#pragma once

#include <QString>

#include <optional>

// What the user types for a new account, checked before the service is asked: the first detail
// it would refuse, with the field to correct and what to tell the user.
struct NewAccountDetails
{
    QString firstName;
    QString surname;
    QString password;
    QString confirmation;

    enum class Field
    {
        FirstName,
        Surname,
        Password,
        Confirmation
    };
    struct Problem
    {
        Field field;
        QString text;
    };
    std::optional<Problem> problem() const;
};
