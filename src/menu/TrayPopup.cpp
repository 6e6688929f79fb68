#include "TrayPopup.h"

#include "ImageLists.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>

#include <algorithm>

TrayPopup::TrayPopup(const MenuList &menu, const WildcardTexts &texts, SymbolIcons symbolIcons, QObject *parent)
    : QObject(parent), m_menu(menu), m_texts(texts),
      m_symbolIcons(symbolIcons ? std::move(symbolIcons) : SymbolIcons(&ImageLists::symbolImage)),
      PopupMenu(std::make_unique<QMenu>()) {
    PopupMenu->setObjectName(QStringLiteral("PopupMenu"));
    PopupMenu->setAccessibleName(kAccessibleName);
    // Every "-" entry the user put in is drawn, also one at the end or right after another;
    // Qt would otherwise fold those away.
    PopupMenu->setSeparatorsCollapsible(false);
    connect(PopupMenu.get(), &QMenu::triggered, this, [this](QAction *action) {
        // The popup's own rows (the offline title and its line) belong to no entry.
        if (!action->data().isValid())
            return;
        m_clickHandled = true;
        emit menuItemClicked(action->data().value<qsizetype>());
        m_clickHandled = false;
    });
    connect(PopupMenu.get(), &QMenu::aboutToShow, this, [this] {
        emit menuOpenChanged(true);
        // After the signal: whatever its receivers changed is shown too.
        if (m_stale)
            rebuild();
    });
    connect(PopupMenu.get(), &QMenu::aboutToHide, this, [this] { emit menuOpenChanged(false); });
    PopupMenu->installEventFilter(this);
}

TrayPopup::~TrayPopup() = default;

QMenu *TrayPopup::popupMenu() const {
    if (m_stale)
        rebuild();
    return PopupMenu.get();
}

void TrayPopup::make_popup() {
    rebuild();
}

void TrayPopup::valuesChanged() {
    m_stale = true;
    if (PopupMenu->isVisible())
        rebuild();
}

void TrayPopup::entriesReplaced() {
    valuesChanged();
}

void TrayPopup::rebuild() const {
    m_stale = false;
    if (PopupMenu->isVisible() || m_clickHandled) {
        // The old items may be the one whose click is being handled right now: take them out of
        // the menu and let them go once control is back in the event loop.
        // Rows others put in (the frame's title and end rows) are theirs: only taken out.
        const auto old = PopupMenu->actions();
        for (QAction *action : old) {
            PopupMenu->removeAction(action);
            if (action->parent() == PopupMenu.get())
                action->deleteLater();
        }
    } else {
        // Gone at once: thousands of items waiting for their deletion would cost more together
        // than one by one.
        PopupMenu->clear();
    }
    PopupMenu->setAccessibleName(m_offline ? kOfflineTitle : kAccessibleName);
    // The items are made first and put in from the last to the first, each before the one put in
    // last: QWidget looks through all items of the menu for every item added (no item may be in it
    // twice), and for one added at the end once more to find where the end is.
    QList<QAction *> items;
    if (m_offline) {
        items.append(new QAction(kOfflineTitle, PopupMenu.get()));
        items.last()->setEnabled(false);
        items.append(new QAction(PopupMenu.get()));
        items.last()->setSeparator(true);
    }
    const qsizetype ownRows = items.size();
    qsizetype left = 0;
    for (qsizetype k = 0; k < m_menu.size(); ++k) {
        const MenuCommand &entry = m_menu.at(k);
        if (!MenuList::looksLikeEntry(entry))
            continue;
        if (items.size() - ownRows == kMaxItems) {
            ++left;
            continue;
        }
        const QString caption = popupCaption(entry.bezeichnung, entry.lv, m_texts);
        auto *action = new QAction(PopupMenu.get());
        if (caption == QLatin1String("-")) {
            action->setSeparator(true);
        } else {
            // A "&" in a caption is text, not a keyboard mnemonic.
            action->setText(QString(caption).replace(u'&', u"&&"_qs));
            action->setIcon(m_symbolIcons(entry.stateIcon));
        }
        action->setData(QVariant::fromValue(MenuList::flatPosition(k)));
        items.append(action);
    }
    if (items.size() == ownRows) {
        items.append(new QAction(kEmptyMenu, PopupMenu.get()));
        items.last()->setEnabled(false);
    }
    if (left > 0) {
        items.append(new QAction(kMoreEntries.arg(left).arg(kMaxItems), PopupMenu.get()));
        items.last()->setEnabled(false);
    }
    QAction *before = nullptr;
    for (auto it = items.crbegin(); it != items.crend(); ++it) {
        PopupMenu->insertAction(before, *it);
        before = *it;
    }
}

void TrayPopup::setOffline(bool offline) {
    if (offline == m_offline)
        return;
    m_offline = offline;
    PopupMenu->setAccessibleName(m_offline ? kOfflineTitle : kAccessibleName);
    valuesChanged();
}

void TrayPopup::openByKeyboard(const QPoint &globalPos) {
    PopupMenu->popup(globalPos);
    const auto actions = PopupMenu->actions();
    const auto first = std::find_if(actions.begin(), actions.end(),
                                    [](const QAction *a) { return a->isEnabled() && !a->isSeparator(); });
    if (first != actions.end())
        PopupMenu->setActiveAction(*first);
}

bool TrayPopup::eventFilter(QObject *watched, QEvent *event) {
    if (watched != PopupMenu.get() || !m_fillEntryMenu)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease: {
        // A right click on an entry opens its context menu instead of running it.
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() != Qt::RightButton)
            break;
        QAction *item = PopupMenu->actionAt(mouse->position().toPoint());
        if (!item || !item->data().isValid())
            break;
        if (event->type() == QEvent::MouseButtonRelease)
            openEntryMenu(item, mouse->globalPosition().toPoint());
        return true;
    }
    case QEvent::KeyPress: {
        const auto *key = static_cast<QKeyEvent *>(event);
        const bool menuKey =
            key->key() == Qt::Key_Menu || (key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier);
        QAction *item = PopupMenu->activeAction();
        if (!menuKey || !item || !item->data().isValid())
            break;
        const QRect place = PopupMenu->actionGeometry(item);
        openEntryMenu(item, PopupMenu->mapToGlobal(place.bottomLeft()));
        return true;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

bool TrayPopup::openEntryMenu(QAction *item, const QPoint &globalPos) {
    const auto k = m_menu.entryAt(item->data().value<qsizetype>());
    if (!k || m_menu.at(*k).gan.isEmpty())
        return false;
    if (!m_entryMenu) {
        m_entryMenu = std::make_unique<QMenu>();
        m_entryMenu->setObjectName(QStringLiteral("popupEntryMenu"));
    }
    m_entryMenu->clear();
    // Named as the entry's item reads, so that a screen reader says whose menu it is.
    m_entryMenu->setAccessibleName(item->text().replace(u"&&"_qs, u"&"_qs));
    m_fillEntryMenu(*m_entryMenu, m_menu.at(*k).gan);
    if (m_entryMenu->isEmpty())
        return false;
    m_entryMenu->popup(globalPos);
    if (QAction *first = m_entryMenu->actions().value(0))
        m_entryMenu->setActiveAction(first);
    return true;
}
