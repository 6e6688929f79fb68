#pragma once

#include <QWidget>

class QLabel;
class QToolButton;
class QVBoxLayout;

// A panel with a caption bar on top; with a roll button it can be rolled up to the bar alone.
class HeaderPanel : public QWidget {
    Q_OBJECT
public:
    static constexpr int kBarHeight = 24;

    HeaderPanel(const QString &objectName, const QString &caption, bool rollable, QWidget *parent = nullptr);

    void setContent(QWidget *content);
    QWidget *content() const { return m_content; }

    QString caption() const;
    void setCaption(const QString &caption);

    // Height while expanded; 0 lets the panel take the room it gets.
    void setExpandedHeight(int height);
    bool isRolled() const { return m_rolled; }
    void setRolled(bool rolled);

signals:
    // The roll button was pressed and the panel has already changed its rolled state.
    void rollToggled(bool rolled);

private:
    void applyHeight();

    QLabel *m_caption = nullptr;
    QToolButton *m_rollButton = nullptr;
    QVBoxLayout *m_layout = nullptr;
    QWidget *m_content = nullptr;
    int m_expandedHeight = 0;
    bool m_rolled = false;
};
