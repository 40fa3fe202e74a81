#pragma once

#include "RuntimeLibrary.h"

#include <QLoggingCategory>

// GLib's headers name a field "signals", which Qt's keyword would turn into "public".
#pragma push_macro("signals")
#undef signals
#include <libebook/libebook.h>
#pragma pop_macro("signals")

Q_DECLARE_LOGGING_CATEGORY(lcEds)

// libebook and the libraries below it, loaded at the first look at the address book, and only
// where Evolution Data Server is on the bus: never at start. Every function is found through
// libebook: dlsym searches the libraries it needs as well.
struct EdsLibrary : RuntimeLibrary
{
    EdsLibrary() : RuntimeLibrary(QStringLiteral("ebook-1.2"), 21) {}

    Function<decltype(g_free)> free{*this, "g_free"};
    Function<decltype(g_error_free)> errorFree{*this, "g_error_free"};
    Function<decltype(g_list_free_full)> listFreeFull{*this, "g_list_free_full"};
    Function<decltype(g_object_unref)> unref{*this, "g_object_unref"};
    Function<decltype(g_signal_connect_data)> signalConnect{*this, "g_signal_connect_data"};
    Function<decltype(g_signal_handlers_disconnect_matched)> signalDisconnect{
        *this, "g_signal_handlers_disconnect_matched"};
    Function<decltype(g_cancellable_new)> cancellableNew{*this, "g_cancellable_new"};
    Function<decltype(g_cancellable_cancel)> cancellableCancel{*this, "g_cancellable_cancel"};
    Function<decltype(g_io_error_quark)> ioErrorQuark{*this, "g_io_error_quark"};
    Function<decltype(g_task_new)> taskNew{*this, "g_task_new"};
    Function<decltype(g_task_run_in_thread)> taskRunInThread{*this, "g_task_run_in_thread"};
    Function<decltype(g_task_return_boolean)> taskReturnBoolean{*this, "g_task_return_boolean"};
    Function<decltype(g_task_return_error)> taskReturnError{*this, "g_task_return_error"};
    Function<decltype(g_task_propagate_boolean)> taskPropagateBoolean{*this,
                                                                      "g_task_propagate_boolean"};
    Function<decltype(e_source_registry_new)> registryNew{*this, "e_source_registry_new"};
    Function<decltype(e_source_registry_new_finish)> registryNewFinish{
        *this, "e_source_registry_new_finish"};
    Function<decltype(e_source_registry_list_enabled)> listEnabled{
        *this, "e_source_registry_list_enabled"};
    Function<decltype(e_source_get_uid)> sourceUid{*this, "e_source_get_uid"};
    Function<decltype(e_book_client_connect)> clientConnect{*this, "e_book_client_connect"};
    Function<decltype(e_book_client_connect_finish)> clientConnectFinish{
        *this, "e_book_client_connect_finish"};
    Function<decltype(e_book_client_get_view)> getView{*this, "e_book_client_get_view"};
    Function<decltype(e_book_client_get_view_finish)> getViewFinish{
        *this, "e_book_client_get_view_finish"};
    // A waiting D-Bus call: only ever made on GLib's worker threads (EdsContacts::startView).
    Function<decltype(e_book_client_view_start)> viewStart{*this, "e_book_client_view_start"};
    Function<decltype(e_vcard_to_string)> vcardToString{*this, "e_vcard_to_string"};

    // nullptr where the library or one of its functions is missing.
    static const EdsLibrary* get();

    // Logs a call's error, unless the call was cancelled, and frees it.
    void warn(const char* what, GError* error) const;
};
