#pragma once

#include <QWidget>

class QProgressBar;

// `TForm2`: the borderless window that shows progress while the main window is being created.
class SplashWindow : public QWidget {
    Q_OBJECT
public:
    explicit SplashWindow(QWidget *parent = nullptr);

    QProgressBar *startbar = nullptr;
};
