#include "WildcardWordsWiring.h"

#include "Frame.h"
#include "PlatformServices.h"
#include "ProgramPaths.h"
#include "WildcardDialog.h"
#include "WildcardTextsFile.h"

WildcardWordsWiring::WildcardWordsWiring(WildcardTexts &texts) : m_texts(texts) {
}

void WildcardWordsWiring::attach(Frame &frame) {
    m_frame = &frame;
    frame.addMenuBarEntry(QStringLiteral("menukonfig"), kMenuBarCaption, {}, [this] { menukonfigClick(); });
}

void WildcardWordsWiring::readSettings(const IniFile &settings) {
    m_texts = WildcardTextsFile::read(settings);
}

void WildcardWordsWiring::started() {
    m_dialog =
        new WildcardDialog(m_frame->paths().settingsFile(), m_texts, *m_frame->services().dialogs, m_frame->window());
}

void WildcardWordsWiring::close() {
    if (m_dialog)
        m_dialog->hide();
}

void WildcardWordsWiring::menukonfigClick() {
    // Modal, without a nested event loop of its own: the program's timers and values go on.
    if (m_dialog) {
        m_dialog->setWindowModality(Qt::ApplicationModal);
        m_dialog->show();
        m_dialog->raise();
    }
}
