#pragma once

#include "CatalogueDrag.h"

#include <QWidget>

class QLabel;
class QToolButton;

// The "System" tab's group " VISU PC ": the drop panel `OVSCREENSAVER` that shows and holds the
// number of the object switching the screen saver ("Drag&&Drop" while none is bound) and the
// button `TeButton1` that clears it.
class ScreenSaverPanel : public QWidget {
    Q_OBJECT
public:
    // What the catalogue's "Ablegen auf …" menu calls the drop panel.
    static inline const QString kDropTargetCaption = QStringLiteral("KO für Bildschirmschoner");

    explicit ScreenSaverPanel(QWidget *parent = nullptr);

    // The bound number, or "Drag&&Drop", as stored under "Screen".
    const QString &binding() const { return m_binding; }
    // Shows a binding read from the settings; no signal.
    void setBinding(const QString &caption);
    // What a drop on `OVSCREENSAVER` does, for a keyboard user: binds the object. Refused (false)
    // without a GAN.
    bool dropObjectOnScreenSaver(const DraggedObject &object);

signals:
    // A drop or the clear button changed the binding.
    void bindingChanged(const QString &caption);

private:
    void TeButton1Click();
    void change(const QString &caption);

    QString m_binding;
    QLabel *OVSCREENSAVER = nullptr;
    QToolButton *TeButton1 = nullptr;
};
