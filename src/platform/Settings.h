#pragma once
// Registry values of the program and of the drawing suite.
//
// The values live in one INI file in the user's configuration folder
// ($XDG_CONFIG_HOME/Keldra/Keldra.ini). A registry key path such as
// "\Software\Orbanix\Vexal\Settings\" becomes the group
// "Software/Orbanix/Vexal/Settings"; values are strings. Local-machine keys
// are kept per user. Every failure is swallowed: a missing or unreadable value
// reads as an empty text, a failed write is ignored.

#include <QString>

inline const QString kVexalSettingsKey = QStringLiteral("\\Software\\Orbanix\\Vexal\\Settings\\");
inline const QString kKeldraSettingsKey = QStringLiteral("\\Software\\Keldra\\Settings\\");

// Full path of the INI file that holds the registry values (read anew from the
// environment at every call, so tests can redirect XDG_CONFIG_HOME at any time).
QString RegistryFileName();

// The QSettings group of a registry key path: its backslash-separated parts
// joined with "/", empty parts dropped.
QString RegistryGroup(const QString& key);

// Writes a string value; returns false when it could not be stored (the
// callers of the suite ignore the result).
bool RegWriteSetting(const QString& name, const QString& value, const QString& key = kVexalSettingsKey);
// Reads a string value; empty when missing or unreadable.
QString RegReadSetting(const QString& name, const QString& key = kVexalSettingsKey);

// Typed conveniences over the string values.
int RegReadInteger(const QString& name, int defaultValue, const QString& key = kVexalSettingsKey);
bool RegReadBool(const QString& name, bool defaultValue, const QString& key = kVexalSettingsKey);
bool RegWriteInteger(const QString& name, int value, const QString& key = kVexalSettingsKey);
bool RegWriteBool(const QString& name, bool value, const QString& key = kVexalSettingsKey);
