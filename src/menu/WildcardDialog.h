#pragma once

#include "Captions.h"

#include <QDialog>
#include <array>

class Dialogs;
class QLineEdit;
class QPushButton;

// `TForm5`, "Quendra Konfig": the six words behind "$1", "$2" and "$3". The edits show the words of
// the settings file; "Schließen" stores them there and hands them to the caption rule, which shows
// them from the popup's next rebuild on. The window's own close button stores nothing, but the
// edits keep what was typed for the next opening.
class WildcardDialog : public QDialog {
    Q_OBJECT
public:
    // settingsFile: "quendra.ini" in the program folder. texts and dialogs must outlive the dialog.
    WildcardDialog(QString settingsFile, WildcardTexts &texts, Dialogs &dialogs, QWidget *parent = nullptr);

private:
    void FormCreate();
    void TeButton1Click();
    WildcardTexts edited() const;

    QString m_settingsFile;
    WildcardTexts &m_texts;
    Dialogs &m_dialogs;
    QLineEdit *wc1auf = nullptr;
    QLineEdit *wc1zu = nullptr;
    QLineEdit *wc2oben = nullptr;
    QLineEdit *wc2unten = nullptr;
    QLineEdit *wc3an = nullptr;
    QLineEdit *wc3aus = nullptr;
    QPushButton *TeButton1 = nullptr;
};
