#pragma once

#include <QWidget>

class QProgressBar;

// `TForm2`: the borderless window that shows progress while the main window is being created.
class SplashWindow : public QWidget {
    Q_OBJECT
public:
    explicit SplashWindow(QWidget *parent = nullptr);

    // The position of `startbar`, 0 to 100.
    void setProgress(int position);
    int progress() const;

private:
    QProgressBar *startbar = nullptr;
};
