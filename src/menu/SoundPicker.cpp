#include "SoundPicker.h"

#include "EventSounds.h"
#include "ImageLists.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

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
    gasoundlist->clear();
    gasoundlist->addItems(m_sounds.eventNames());
    gasoundlist->setCurrentIndex(-1);
    gasoundlist->setEditText(shown);
}

void SoundPicker::TeButton4Click() {
    m_sounds.play(gasoundlist->currentText());
}
