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
        m_panels[i]->setMinimumWidth(widths[i]);
        addWidget(m_panels[i], i == 0 ? 1 : 0);
    }
    // Panel 0 keeps at least its width and takes the room an empty panel 1 leaves, so that
    // longer texts (what to do on a first start, a refused key) are read whole.
    m_panels[1]->setFixedWidth(widths[1]);
    m_panels[1]->hide();
}

void StatusBar::setPanelText(int panel, const QString &text) {
    QLabel *label = m_panels.at(size_t(panel));
    label->setText(text);
    // Screen readers read a label by its name: the text itself, and what the panel is while empty.
    label->setAccessibleName(text.isEmpty() ? AppTexts::kStatusBar : text);
    label->setAccessibleDescription(text);
    label->setToolTip(text);
    if (panel == 1)
        label->setVisible(!text.isEmpty());
}

QString StatusBar::panelText(int panel) const {
    return m_panels.at(size_t(panel))->text();
}
