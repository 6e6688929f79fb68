#include "ConsoleWindow.h"

#include "ConsoleInput.h"
#include "ConsoleSession.h"
#include "ConsoleTexts.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>
#include <QPointer>
#include <QScreen>
#include <QTextBlock>
#include <QVBoxLayout>

ConsoleEdit::ConsoleEdit(QWidget *parent) : QPlainTextEdit(parent) {
    setObjectName(u"conso"_qs);
    setAccessibleName(ConsoleTexts::kConsole);
    setLineWrapMode(NoWrap);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

void ConsoleEdit::appendLine(const QString &line) {
    QTextCursor end(document());
    end.movePosition(QTextCursor::End);
    end.insertText(document()->isEmpty() ? line : u'\n' + line);
    moveCursor(QTextCursor::End);
}

void ConsoleEdit::keyPressEvent(QKeyEvent *event) {
    if (consoKeyDown(event))
        return;
    consoKeyPress(event);
}

bool ConsoleEdit::consoKeyDown(QKeyEvent *event) {
    // The caret cannot be moved to other lines with the keyboard.
    return event->key() == Qt::Key_Up || event->key() == Qt::Key_Down;
}

void ConsoleEdit::consoKeyPress(QKeyEvent *event) {
    // Shortcuts (copy, paste, select all) and keys without a character keep their meaning; what
    // they insert goes through insertFromMimeData.
    const Qt::KeyboardModifiers shortcut = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    if (event->text().isEmpty() || (event->modifiers() & shortcut)) {
        QPlainTextEdit::keyPressEvent(event);
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (m_enter && !m_enter(examinedLine(toPlainText())))
            return;
        textCursor().insertBlock();
        ensureCursorVisible();
        return;
    }
    if (event->key() == Qt::Key_Backspace) {
        if (textCursor().positionInBlock() > 0 || textCursor().hasSelection())
            QPlainTextEdit::keyPressEvent(event);
        return;
    }
    const QString typed = filterConsoleText(event->text());
    if (typed == event->text())
        QPlainTextEdit::keyPressEvent(event);
    else if (!typed.isEmpty())
        insertPlainText(typed);
}

void ConsoleEdit::insertFromMimeData(const QMimeData *source) {
    if (!source || !source->hasText())
        return;
    insertPlainText(filterConsoleText(source->text()));
}

ConsoleWindow::ConsoleWindow(QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    setObjectName(u"TForm3"_qs);
    setWindowTitle(ConsoleTexts::kCaption);
    setAccessibleName(windowTitle());

    auto *panel1 = new QWidget(this);
    panel1->setObjectName(u"panel1"_qs);
    panel1->setAccessibleName(ConsoleTexts::kConsole);
    panel1->setToolTip(ConsoleTexts::kPanelHint);
    auto *caption = new QLabel(ConsoleTexts::kConsole, panel1);
    caption->setFixedHeight(20);
    m_conso = new ConsoleEdit(panel1);
    caption->setBuddy(m_conso);

    auto *panelLayout = new QVBoxLayout(panel1);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    panelLayout->setSpacing(0);
    panelLayout->addWidget(caption);
    panelLayout->addWidget(m_conso, 1);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(panel1);
    resize(292, 116);
    hide();
}

void ConsoleWindow::setSession(ConsoleSession *session) {
    m_conso->setEnterHandler(
        [session = QPointer(session)](const QString &line) { return !session || session->enter(line); });
    connect(session, &ConsoleSession::lineAppended, m_conso, &ConsoleEdit::appendLine);
}

void ConsoleWindow::showEvent(QShowEvent *event) {
    if (!m_placed && screen()) {
        m_placed = true;
        move(screen()->availableGeometry().center() - rect().center());
    }
    QWidget::showEvent(event);
}
