#pragma once

#include <QIcon>

class TrayIcon;

// The picture at the tray icon: the program's icon (or the same with the offline mark) and,
// when a subsystem asks for one, a count drawn on it.
class TrayIconLook {
public:
    // The tray must outlive this object.
    explicit TrayIconLook(TrayIcon &tray);

    // The picture without a count; shown at once.
    void setBase(const QIcon &icon);
    // The number drawn on the picture; 0 or less draws none, more than 99 shows "99+".
    void setCount(int count);
    int count() const { return m_count; }

    // The base picture with the count drawn at its bottom right.
    static QIcon withCount(const QIcon &base, int count);

private:
    void show();

    TrayIcon &m_tray;
    QIcon m_base;
    int m_count = 0;
};
