#pragma once

#include <QLocale>
#include <QTranslator>
#include <array>

// Qt's own translations of its dialogs and widgets (from the system's Qt translation files),
// installed into the application while this object lives. The program's own texts are German in
// the code; this makes the standard buttons, the file and folder choosers and the like match them.
class QtTranslations {
public:
    explicit QtTranslations(const QLocale &locale);
    ~QtTranslations();
    QtTranslations(const QtTranslations &) = delete;
    QtTranslations &operator=(const QtTranslations &) = delete;

    // How many of the catalogues were found and installed.
    int installedCount() const { return m_installed; }

private:
    // "qtbase" holds the widgets' and dialogs' texts; "qtwebengine" the browser's context menu.
    std::array<QTranslator, 2> m_translators;
    int m_installed = 0;
};
