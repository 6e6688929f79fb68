#include "SplashWindow.h"

#include "AppTexts.h"

#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QVBoxLayout>

SplashWindow::SplashWindow(QWidget *parent) : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("TForm2"));
    setWindowTitle(AppTexts::kSplashCaption);

    auto *title = new QLabel(AppTexts::kSplashTitle, this);
    QFont font = title->font();
    font.setBold(true);
    font.setUnderline(true);
    title->setFont(font);
    title->setAlignment(Qt::AlignCenter);

    startbar = new QProgressBar(this);
    startbar->setObjectName(QStringLiteral("startbar"));
    startbar->setFixedSize(244, 20);
    startbar->setRange(0, 100);
    startbar->setValue(0);
    startbar->setTextVisible(false);
    startbar->setToolTip(AppTexts::kSplashHint);
    startbar->setAccessibleName(title->text());
    title->setBuddy(startbar);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(title);
    layout->addWidget(startbar);
    setFixedSize(244, 36);

    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void SplashWindow::setProgress(int position) {
    startbar->setValue(position);
}

int SplashWindow::progress() const {
    return startbar->value();
}
