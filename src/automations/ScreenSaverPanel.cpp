#include "ScreenSaverPanel.h"

#include "AutomationTexts.h"
#include "ImageLists.h"
#include "ObjectDrop.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

namespace T = AutomationTexts;

namespace {
constexpr int kClearPicture = 9;
} // namespace

ScreenSaverPanel::ScreenSaverPanel(QWidget *parent) : QWidget(parent) {
    setObjectName(QStringLiteral("screenSaverPanel"));
    auto *group = new QGroupBox(T::kSystemGroup, this);

    OVSCREENSAVER = new QLabel(group);
    OVSCREENSAVER->setObjectName(QStringLiteral("OVSCREENSAVER"));
    OVSCREENSAVER->setAccessibleName(T::kScreenSaverLabel);
    OVSCREENSAVER->setFrameShape(QFrame::Panel);
    OVSCREENSAVER->setFrameShadow(QFrame::Sunken);
    OVSCREENSAVER->setAlignment(Qt::AlignCenter);
    OVSCREENSAVER->setMinimumHeight(24);
    // Reachable by Tab, so a screen reader can read the binding.
    OVSCREENSAVER->setFocusPolicy(Qt::TabFocus);
    OVSCREENSAVER->setTextFormat(Qt::PlainText);
    new ObjectDrop(OVSCREENSAVER, &ObjectDrop::hasNumber,
                   [this](const DraggedObject &object) { return dropObjectOnScreenSaver(object); });
    auto *label = new QLabel(T::kScreenSaverLabel, group);
    label->setBuddy(OVSCREENSAVER);

    TeButton1 = new QToolButton(group);
    TeButton1->setObjectName(QStringLiteral("TeButton1"));
    TeButton1->setIcon(ImageLists::systemImage(kClearPicture));
    TeButton1->setAccessibleName(T::kClearBinding);
    TeButton1->setToolTip(T::kClearBinding);
    connect(TeButton1, &QToolButton::clicked, this, &ScreenSaverPanel::TeButton1Click);

    auto *note = new QLabel(T::kScreenSaverNote, group);
    note->setWordWrap(true);

    auto *row = new QHBoxLayout;
    row->addWidget(OVSCREENSAVER, 1);
    row->addWidget(TeButton1);
    auto *groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(label);
    groupLayout->addLayout(row);
    groupLayout->addWidget(note);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(group);
    layout->addStretch(1);
    setBinding(T::kUnbound);
}

void ScreenSaverPanel::setBinding(const QString &caption) {
    m_binding = caption;
    // A caption shows an ampersand pair as one ampersand, so "Drag&&Drop" reads Drag&Drop.
    QString shown = caption;
    shown.replace(QStringLiteral("&&"), QStringLiteral("&"));
    OVSCREENSAVER->setText(shown);
    OVSCREENSAVER->setAccessibleDescription(shown);
}

bool ScreenSaverPanel::dropObjectOnScreenSaver(const DraggedObject &object) {
    if (!ObjectDrop::hasNumber(object))
        return false;
    change(object.gan);
    return true;
}

void ScreenSaverPanel::TeButton1Click() {
    change(T::kUnbound);
}

void ScreenSaverPanel::change(const QString &caption) {
    setBinding(caption);
    emit bindingChanged(caption);
}
