#pragma once

class QLineEdit;

// Fields that hold one value (an address, a port, a host, a file name) are mostly typed anew: when
// such a field gets the focus from the keyboard, a click or the program, its whole text is
// selected, so typing replaces it instead of being appended to "0.0.0.0". A click that drags a
// selection of its own, and a click into a field that already has the focus, keep theirs.
namespace FieldFocus {
void selectAllOnFocus(QLineEdit *field);
} // namespace FieldFocus
