#pragma once

#include <QList>
#include <QStatusBar>
#include <array>

class QLabel;

// `StatusBar1`: two panels of 224 and 200 pixels; panel 0 carries the connection and catalogue texts.
class StatusBar : public QStatusBar {
    Q_OBJECT
public:
    explicit StatusBar(QWidget *parent = nullptr);
    void setPanelText(int panel, const QString &text);
    QString panelText(int panel) const;

    // Panel 1 carries notes on what the program found around it (a configuration folder that is
    // not there, a desktop without a tray), each under its own key until it is cleared: the panel
    // shows their short texts, its hint and its description for screen readers the whole texts.
    void setNote(const QString &key, const QString &text, const QString &detail = {});
    void clearNote(const QString &key);

private:
    struct Note {
        QString key;
        QString text;
        QString detail;
    };
    void showNotes();

    std::array<QLabel *, 2> m_panels{};
    QList<Note> m_notes;
};
