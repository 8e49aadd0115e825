#pragma once

#include <QString>

// Start-up checks of the program, shared by the window and the tests.

// The literal text shown when the language resource module is missing.
QString LanguageNotReadyText();

// Loads the language resource module (tessera::LanguageModule::instance()). When it is
// missing or unusable, shows LanguageNotReadyText() through the message hook and returns
// false: the program must then end with a failure status.
bool CheckLanguageModule();

// The marker that the packaged installation puts into its installation folder's name.
constexpr auto kPackagedEditionMarker = "Kestrel.Quotra_";
// True when programPath contains the marker after its first character.
bool IsPackagedEdition(const QString &programPath);

// Without a display (no DISPLAY or WAYLAND_DISPLAY) and no platform chosen, selects Qt's
// offscreen platform so that unattended runs from cron start instead of aborting.
// Call before the application object is created. True when it selected offscreen.
bool SelectHeadlessPlatform();

// The list file a desktop launcher named: a "file:" address becomes its local path (a
// launcher may pass a file either way); anything else, the protocol form included, is
// returned as it is. Escapes in the address stand only for characters within one name of
// the path, so the path is the one its address shows: an address whose escapes would make
// a "/" (%2F), a NUL or other control character, a "." or ".." name, or bytes that are no
// UTF-8, and an address of another machine, are returned as they are and name no file.
QString LaunchedFilePath(const QString &argument);
