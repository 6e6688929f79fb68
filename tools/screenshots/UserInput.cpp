#include "UserInput.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QTabWidget>
#include <QTreeView>

namespace UserInput {

namespace {
void sendKey(QWidget *widget, int key, Qt::KeyboardModifiers modifiers, const QString &text) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QCoreApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QCoreApplication::sendEvent(widget, &release);
}

QModelIndex findObject(const QAbstractItemModel *model, const QString &ga, const QModelIndex &parent) {
    for (int row = 0; row < model->rowCount(parent); ++row) {
        const QModelIndex child = model->index(row, 0, parent);
        if (child.data().toString().startsWith(ga + u' '))
            return child;
        if (const QModelIndex found = findObject(model, ga, child); found.isValid())
            return found;
    }
    return {};
}
} // namespace

void pressKey(QWidget *widget, Qt::Key key, Qt::KeyboardModifiers modifiers) {
    sendKey(widget, key, modifiers, {});
}

void type(QWidget *widget, const QString &text) {
    for (const QChar c : text) {
        if (c == u'\n')
            sendKey(widget, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
        else
            sendKey(widget, c.toUpper().unicode(), Qt::NoModifier, c);
    }
}

void retype(QLineEdit *edit, const QString &text) {
    edit->setFocus();
    edit->selectAll();
    sendKey(edit, Qt::Key_Delete, Qt::NoModifier, {});
    type(edit, text);
}

bool choose(QComboBox *box, const QString &text) {
    if (!box || !box->isEnabled() || box->findText(text) < 0)
        return false;
    pressKey(box, Qt::Key_Home);
    for (int i = 0; i < box->count() && box->currentText() != text; ++i)
        pressKey(box, Qt::Key_Down);
    return box->currentText() == text;
}

bool showTabOf(QTabWidget *tabs, const QWidget *inside) {
    for (int i = 0; inside && i < tabs->count(); ++i) {
        if (tabs->widget(i)->isAncestorOf(inside)) {
            tabs->setCurrentIndex(i);
            return true;
        }
    }
    return false;
}

QModelIndex catalogueObject(const QTreeView *ovtree, const QString &ga) {
    return findObject(ovtree->model(), ga, {});
}

bool dropByKeyboard(QTreeView *ovtree, const QString &ga, const QString &target) {
    const QModelIndex object = catalogueObject(ovtree, ga);
    if (!object.isValid())
        return false;
    ovtree->setFocus();
    ovtree->scrollTo(object);
    ovtree->setCurrentIndex(object);
    pressKey(ovtree, Qt::Key_Menu);
    auto *menu = ovtree->findChild<QMenu *>(QStringLiteral("ovtreeMenu"));
    auto *targets = menu ? menu->findChild<QMenu *>(QStringLiteral("dropOnto")) : nullptr;
    if (!targets)
        return false;
    QAction *chosen = nullptr;
    for (QAction *action : targets->actions()) {
        // Captions with an ampersand carry it doubled.
        if (action->text().replace(QStringLiteral("&&"), QStringLiteral("&")) == target)
            chosen = action;
    }
    if (chosen)
        chosen->trigger();
    menu->hide();
    return chosen != nullptr;
}

} // namespace UserInput
