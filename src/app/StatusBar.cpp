#include "StatusBar.h"

#include "AppTexts.h"

#include <QLabel>

StatusBar::StatusBar(QWidget *parent) : QStatusBar(parent) {
    setObjectName(QStringLiteral("StatusBar1"));
    setSizeGripEnabled(false);
    const std::array<int, 2> widths{224, 200};
    for (size_t i = 0; i < m_panels.size(); ++i) {
        m_panels[i] = new QLabel(this);
        m_panels[i]->setObjectName(QStringLiteral("StatusBar1Panel%1").arg(i));
        m_panels[i]->setAccessibleName(AppTexts::kStatusBar);
        m_panels[i]->setFixedWidth(widths[i]);
        addWidget(m_panels[i]);
    }
}

void StatusBar::setPanelText(int panel, const QString &text) {
    QLabel *label = m_panels.at(size_t(panel));
    label->setText(text);
    // Screen readers read a label by its name: the text itself, and what the panel is while empty.
    label->setAccessibleName(text.isEmpty() ? AppTexts::kStatusBar : text);
    label->setAccessibleDescription(text);
}

QString StatusBar::panelText(int panel) const {
    return m_panels.at(size_t(panel))->text();
}
