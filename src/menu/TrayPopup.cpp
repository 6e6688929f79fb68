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
    connect(PopupMenu.get(), &QMenu::aboutToShow, this, [this] { emit menuOpenChanged(true); });
    connect(PopupMenu.get(), &QMenu::aboutToHide, this, [this] { emit menuOpenChanged(false); });
}

TrayPopup::~TrayPopup() = default;

void TrayPopup::make_popup() {
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
    if (m_offline) {
        PopupMenu->addAction(kOfflineTitle)->setEnabled(false);
        PopupMenu->addSeparator();
    }
    bool anyEntry = false;
    for (qsizetype k = 0; k < m_menu.size(); ++k) {
        const MenuCommand &entry = m_menu.at(k);
        if (!MenuList::looksLikeEntry(entry))
            continue;
        anyEntry = true;
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
        PopupMenu->addAction(action);
    }
    if (!anyEntry)
        PopupMenu->addAction(kEmptyMenu)->setEnabled(false);
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
