#include "NewAccountDetails.h"

#include <QCoreApplication>

// The texts are the assistant's, and translated with its others.
std::optional<NewAccountDetails::Problem> NewAccountDetails::problem() const
{
    if (firstName.isEmpty())
        return Problem{Field::FirstName,
                       QCoreApplication::translate("SetupAssistantController",
                                                   "You need to provide us with your Firstname.")};
    if (surname.isEmpty())
        return Problem{Field::Surname,
                       QCoreApplication::translate("SetupAssistantController",
                                                   "You need to provide us with your Surname.")};
    if (password.size() < 6)
        return Problem{Field::Password,
                       QCoreApplication::translate("SetupAssistantController",
                                                   "Your password must be a minimum of 6 letters "
                                                   "or numbers in length.")};
    if (confirmation != password)
        return Problem{Field::Confirmation,
                       QCoreApplication::translate("SetupAssistantController",
                                                   "Your confirmation password doesn't match the "
                                                   "first password you entered.")};
    return std::nullopt;
}
