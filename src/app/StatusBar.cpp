#include "StatusBar.h"

#include "AppTexts.h"

#include <QLabel>
#include <algorithm>

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

void StatusBar::setNote(const QString &key, const QString &text, const QString &detail) {
    const Note note{key, text, detail.isEmpty() ? text : detail};
    const auto same = [&key](const Note &n) {
        return n.key == key;
    };
    if (const auto found = std::find_if(m_notes.begin(), m_notes.end(), same); found != m_notes.end())
        *found = note;
    else
        m_notes.append(note);
    showNotes();
}

void StatusBar::clearNote(const QString &key) {
    if (m_notes.removeIf([&key](const Note &n) { return n.key == key; }))
        showNotes();
}

void StatusBar::showNotes() {
    QStringList texts, details;
    for (const Note &note : m_notes) {
        texts.append(note.text);
        details.append(note.detail);
    }
    setPanelText(1, texts.join(u" · "_qs));
    QLabel *label = m_panels[1];
    label->setToolTip(details.join(u'\n'));
    label->setAccessibleDescription(details.join(u' '));
}
