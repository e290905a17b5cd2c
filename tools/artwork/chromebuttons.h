#ifndef ARTWORK_CHROMEBUTTONS_H
#define ARTWORK_CHROMEBUTTONS_H

#include <QImage>

// The three looks every window button has: at rest, pressed, under the mouse.
enum class ButtonState { Normal, Down, Hover };

enum class ChromeGlyph { Close, Power, Minimize, Help };

// A 16 x 16 round window button: a recessed bezel, a domed steel face and a glyph. A lit
// button shows its glyph in amber, the look of the main window's own buttons.
QImage chromeButton(ChromeGlyph glyph, bool lit, ButtonState state);

#endif
