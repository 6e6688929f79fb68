#pragma once

#include <QPlainTextEdit>
#include <QWidget>
#include <functional>

class ConsoleSession;
class QLabel;

// `conso`: the console's text. Typed and pasted characters are filtered, Up and Down do nothing,
// Backspace never joins lines, and Enter hands the examined line to the handler first.
class ConsoleEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    // Answers whether the Enter may reach the text box.
    using EnterHandler = std::function<bool(const QString &examinedLine)>;
    explicit ConsoleEdit(QWidget *parent = nullptr);
    void setEnterHandler(EnterHandler handler) { m_enter = std::move(handler); }
    // A line at the end of the text; the caret follows it, so the next Enter starts a fresh line.
    void appendLine(const QString &line);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void insertFromMimeData(const QMimeData *source) override;

private:
    void consoKeyPress(QKeyEvent *event);
    bool consoKeyDown(QKeyEvent *event);

    EnterHandler m_enter;
};

// `TForm3`: the console tool window "Quendra Tools" with its panel `panel1` and the text `conso`.
class ConsoleWindow : public QWidget {
    Q_OBJECT
public:
    explicit ConsoleWindow(QWidget *parent = nullptr);
    // Enter is handled by the session, whose lines are appended to the text.
    void setSession(ConsoleSession *session);

protected:
    void showEvent(QShowEvent *event) override;

private:
    ConsoleEdit *m_conso = nullptr;
    bool m_placed = false;
};
