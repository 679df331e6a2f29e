#pragma once

// The choices this program makes for Qt's platform plugins where the user made none (no
// -platform option, no $QT_QPA_PLATFORM, no $QT_QPA_FONTDIR).
namespace QtPlatformDefaults {

// Call once, before Qt's application object exists. On Windows:
// - the windows platform with DirectWrite text rendering. Qt 6.4 draws text through GDI by
//   default, and with the scalable faces that stand in for "MS Sans Serif" GDI dropped
//   thin stems ("FILE-Size" showed as "F LE-Size") and drew bold captions regular;
// - the system's font folder for the offscreen platform, which otherwise has no fonts
//   and says so on standard error at every windowless launch.
// Elsewhere: nothing.
void apply();

} // namespace QtPlatformDefaults
