#pragma once

#include <QString>
#include <Qt>

class QComboBox;
class QLineEdit;
class QModelIndex;
class QTabWidget;
class QTreeView;
class QWidget;

// What a user does with the keyboard, as events sent to the program's widgets.
namespace UserInput {
void pressKey(QWidget *widget, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
// Types the text character by character; "\n" presses Enter.
void type(QWidget *widget, const QString &text);
// Replaces the text of a line edit as a user does: select all, then type.
void retype(QLineEdit *edit, const QString &text);
// Picks the item with this text with Home and Down, as a user without a mouse does.
bool choose(QComboBox *box, const QString &text);
// Shows the tab whose page holds the widget.
bool showTabOf(QTabWidget *tabs, const QWidget *inside);

// The catalogue tree's object with this group address ("0/3/0"), searched through the whole tree.
QModelIndex catalogueObject(const QTreeView *ovtree, const QString &ga);
// Puts the object on a drop target without dragging: the object chosen, the context-menu key,
// "Ablegen auf …" and the target's caption. False when the object or the target is not offered.
bool dropByKeyboard(QTreeView *ovtree, const QString &ga, const QString &target);
} // namespace UserInput
