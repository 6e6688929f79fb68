#pragma once

#include <QString>

// Shows the program's German HTML help.
class HelpViewer {
public:
    virtual ~HelpViewer() = default;
    // Shows the topic with the given context number from the help file.
    virtual void showContext(const QString &helpFile, int context) = 0;
    virtual void closeAll() = 0;
};
