#include "InstanceStart.h"

#include "AppTexts.h"
#include "SingleInstance.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <cstdio>

namespace {
void tellOnStderr(const QString &text) {
    std::fputs((u"quendra: "_qs + QString(text).replace(u'\r', u' ') + u'\n').toLocal8Bit().constData(), stderr);
}

// Platforms that draw into memory only: a box there would wait for a click that cannot come.
bool someoneCanSeeABox() {
    const QString platform = QGuiApplication::platformName();
    return platform != u"offscreen" && platform != u"minimal";
}
} // namespace

InstanceStart::Outcome InstanceStart::claim(SingleInstance &instance) {
    switch (instance.claim()) {
    case SingleInstance::Claim::First:
        return {};
    case SingleInstance::Claim::HandedOver:
        return {0, {}};
    case SingleInstance::Claim::NotAnswering: {
        const QString text = AppTexts::kRunningProgramHangs.arg(instance.reason());
        tellOnStderr(text);
        if (someoneCanSeeABox())
            QMessageBox(QMessageBox::Critical, AppTexts::kProgramName, QString(text).replace(u'\r', u'\n'),
                        QMessageBox::Ok)
                .exec();
        return {kRunningProgramHangs, {}};
    }
    case SingleInstance::Claim::NoSession: {
        const QString text = AppTexts::kNoSessionBus.arg(instance.reason());
        tellOnStderr(text);
        return {std::nullopt, text};
    }
    }
    return {};
}
