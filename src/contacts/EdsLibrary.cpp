#include "EdsLibrary.h"

Q_LOGGING_CATEGORY(lcEds, "quibbo.addressbook.eds")

const EdsLibrary* EdsLibrary::get()
{
    const EdsLibrary& library = RuntimeLibrary::load<EdsLibrary>();
    return library.loaded() ? &library : nullptr;
}

void EdsLibrary::warn(const char* what, GError* error) const
{
    if (!error)
        return;
    if (error->domain != ioErrorQuark() || error->code != G_IO_ERROR_CANCELLED)
        qCWarning(lcEds) << what << error->message;
    errorFree(error);
}
