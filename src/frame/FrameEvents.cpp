#include "FrameEvents.h"

void FrameEvents::report(FrameEvent::Kind kind, const QString &source, const QString &text, const QString &title) {
    emit happened(FrameEvent{kind, source, title, text, QDateTime::currentDateTime()});
}
