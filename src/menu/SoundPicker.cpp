#include "SoundPicker.h"

#include "EventSounds.h"
#include "ImageLists.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

namespace {
constexpr int kPlayImage = 17; // green button with a white triangle
}

SoundPicker::SoundPicker(EventSounds &sounds, QWidget *parent)
    : QWidget(parent), gasoundlist(new QComboBox(this)), TeButton4(new QPushButton(this)), m_sounds(sounds) {
    gasoundlist->setObjectName(QStringLiteral("gasoundlist"));
    gasoundlist->setEditable(true);
    gasoundlist->setInsertPolicy(QComboBox::NoInsert);
    gasoundlist->setEditText(kPrompt);
    gasoundlist->setAccessibleName(QStringLiteral("Sound"));
    // The typing field inside the list is what a screen reader lands on.
    gasoundlist->lineEdit()->setAccessibleName(gasoundlist->accessibleName());

    TeButton4->setObjectName(QStringLiteral("TeButton4"));
    TeButton4->setIcon(ImageLists::systemImage(kPlayImage));
    TeButton4->setToolTip(QStringLiteral("Play"));
    TeButton4->setAccessibleName(QStringLiteral("Play"));
    connect(TeButton4, &QPushButton::clicked, this, &SoundPicker::TeButton4Click);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(gasoundlist, 1);
    layout->addWidget(TeButton4);
}

void SoundPicker::FillSoundList() {
    const QString shown = gasoundlist->currentText();
    const bool chosen = chosenItem() >= 0;
    const QString name = soundName();
    QList<std::pair<QString, QString>> items; // shown text, event name
    for (const QString &event : m_sounds.eventNames())
        items.append({m_sounds.displayName(event), event});
    // In the order of what the user reads.
    std::stable_sort(items.begin(), items.end(),
                     [](const auto &a, const auto &b) { return QString::localeAwareCompare(a.first, b.first) < 0; });
    gasoundlist->clear();
    for (const auto &[text, event] : items)
        gasoundlist->addItem(text, event);
    gasoundlist->setCurrentIndex(-1);
    // A chosen sound stays chosen; anything else stays as it shows.
    const int again = chosen ? gasoundlist->findData(name) : -1;
    if (again >= 0)
        gasoundlist->setCurrentIndex(again);
    else
        gasoundlist->setEditText(shown);
}

void SoundPicker::TeButton4Click() {
    m_sounds.play(soundName());
}

int SoundPicker::chosenItem() const {
    // An item counts while its text is what the list shows; text typed over it is the user's own.
    const int index = gasoundlist->currentIndex();
    return index >= 0 && gasoundlist->currentText() == gasoundlist->itemText(index) ? index : -1;
}

QString SoundPicker::soundName() const {
    const int index = chosenItem();
    return index >= 0 ? gasoundlist->itemData(index).toString() : gasoundlist->currentText();
}

void SoundPicker::showSoundName(const QString &name) {
    const int index = gasoundlist->findData(name, Qt::UserRole, Qt::MatchFixedString);
    gasoundlist->setCurrentIndex(index);
    if (index < 0)
        gasoundlist->setEditText(name);
}
