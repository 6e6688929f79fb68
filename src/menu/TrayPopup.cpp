#include "TrayPopup.h"

#include "ImageLists.h"

#include <QAction>
#include <QMenu>

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

void TrayPopup::rebuild() const {
    m_stale = false;
    if (PopupMenu->isVisible() || m_clickHandled) {
        // The old items may be the one whose click is being handled right now: take them out of
        // the menu and let them go once control is back in the event loop.
        const auto old = PopupMenu->actions();
        for (QAction *action : old) {
            PopupMenu->removeAction(action);
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
    for (qsizetype k = 0; k < m_menu.size(); ++k) {
        const MenuCommand &entry = m_menu.at(k);
        if (!MenuList::looksLikeEntry(entry))
            continue;
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
    make_popup();
}

void TrayPopup::openByKeyboard(const QPoint &globalPos) {
    PopupMenu->popup(globalPos);
    const auto actions = PopupMenu->actions();
    const auto first = std::find_if(actions.begin(), actions.end(),
                                    [](const QAction *a) { return a->isEnabled() && !a->isSeparator(); });
    if (first != actions.end())
        PopupMenu->setActiveAction(*first);
}
