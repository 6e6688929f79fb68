#pragma once

#include <QString>

// Message boxes. Texts carry "\r" line breaks as the program writes them; the real
// implementation shows them as line breaks, the test fake records them unchanged.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    // OK box with the error icon, titled with the application title.
    virtual void error(const QString &text) = 0;
    // Information box with an OK button; returns when the user has closed it.
    virtual void information(const QString &text) = 0;
    // Plain box without icon.
    virtual void message(const QString &text) = 0;
    enum class Choice { Yes, No, Cancel };
    // Question with Yes, No and Cancel. A dialog service that offers no third button answers
    // Yes or No, as confirm() does.
    virtual Choice choose(const QString &text) { return confirm(text) ? Choice::Yes : Choice::No; }
    // Question with Yes/No; true for Yes.
    virtual bool confirm(const QString &text) = 0;
    // The program is ending: every open box closes (a question as answered "No") and every later
    // box returns at once the same way, so that nothing waits for a user who is gone. An error that
    // no one can see any more (a box closed so, or one that comes later) is written to the standard
    // error output, so that a failed save on the way out leaves a trace.
    virtual void closeAll() = 0;
};
