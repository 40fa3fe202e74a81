#pragma once

#include <QLatin1String>

// The keys of the settings store and of its dictionaries. Stored files rely on these names.
namespace SettingsKeys {
// The account credentials every request to the messaging interface carries.
inline constexpr QLatin1String QuibboAPIConnectionParams("QuibboAPIConnectionParams");
inline constexpr QLatin1String CompanyId("CompanyId");
inline constexpr QLatin1String UserId("UserId");
inline constexpr QLatin1String Password("Password");

// The e-mail address and password the user identified the account with (lower-case "password").
inline constexpr QLatin1String accountDetails("accountDetails");
inline constexpr QLatin1String emailAddress("emailAddress");
inline constexpr QLatin1String password("password");

inline constexpr QLatin1String senderID("senderID");

inline constexpr QLatin1String numberTranslation("numberTranslation");
inline constexpr QLatin1String translationState("translationState");
inline constexpr QLatin1String countryCode("countryCode");

inline constexpr QLatin1String longSMSAllowed("longSMSAllowed");
// "OFF" turns the delivery notifications off; they are on otherwise.
inline constexpr QLatin1String deliveryNotifications("deliveryNotifications");
inline constexpr QLatin1String RecentMsisdns("RecentMsisdns");

// Flag values. Each reader tests them in its own way; see the reader.
inline constexpr QLatin1String on("ON");
inline constexpr QLatin1String off("OFF");
} // namespace SettingsKeys
