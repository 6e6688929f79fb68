#include "HeaderPanel.h"

#include "AppTexts.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

HeaderPanel::HeaderPanel(const QString &objectName, const QString &caption, bool rollable, QWidget *parent)
    : QWidget(parent) {
    setObjectName(objectName);

    auto *bar = new QWidget(this);
    bar->setObjectName(objectName + QStringLiteral("Bar"));
    bar->setFixedHeight(kBarHeight);
    bar->setAutoFillBackground(true);
    bar->setBackgroundRole(QPalette::Mid);

    m_caption = new QLabel(caption, bar);
    QFont font = m_caption->font();
    font.setBold(true);
    m_caption->setFont(font);

    auto *barLayout = new QHBoxLayout(bar);
    barLayout->setContentsMargins(6, 0, 2, 0);
    barLayout->addWidget(m_caption, 1);
    if (rollable) {
        m_rollButton = new QToolButton(bar);
        m_rollButton->setObjectName(objectName + QStringLiteral("Button"));
        m_rollButton->setAutoRaise(true);
        m_rollButton->setFixedSize(kBarHeight - 4, kBarHeight - 4);
        barLayout->addWidget(m_rollButton);
        connect(m_rollButton, &QToolButton::clicked, this, [this] {
            setRolled(!m_rolled);
            emit rollToggled(m_rolled);
        });
    }

    m_layout = new QVBoxLayout(this);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);
    m_layout->addWidget(bar);
    setRolled(false);
}

void HeaderPanel::setContent(QWidget *content) {
    m_content = content;
    m_layout->addWidget(content, 1);
    content->setVisible(!m_rolled);
}

QString HeaderPanel::caption() const {
    return m_caption->text();
}

void HeaderPanel::setCaption(const QString &caption) {
    m_caption->setText(caption);
}

void HeaderPanel::setExpandedHeight(int height) {
    m_expandedHeight = height;
    applyHeight();
}

void HeaderPanel::setRolled(bool rolled) {
    m_rolled = rolled;
    if (m_content)
        m_content->setVisible(!rolled);
    if (m_rollButton) {
        m_rollButton->setArrowType(rolled ? Qt::DownArrow : Qt::UpArrow);
        const QString name = rolled ? AppTexts::kExpand : AppTexts::kCollapse;
        m_rollButton->setAccessibleName(name);
        m_rollButton->setToolTip(name);
    }
    applyHeight();
}

void HeaderPanel::applyHeight() {
    if (m_rolled)
        setFixedHeight(kBarHeight);
    else if (m_expandedHeight > 0)
        setFixedHeight(m_expandedHeight);
    else {
        setMinimumHeight(kBarHeight);
        setMaximumHeight(QWIDGETSIZE_MAX);
    }
}
